// Watches a folder and everything below it, as another program on the
// machine could, and writes every name that appears there to a log, one
// per line (UTF-8, relative to the folder), until it is ended.
// Usage: watch_folder <folder> <log file>
// Writes "ready" first, once it watches. A full queue (more changes than
// its buffer holds between two reads) is logged as "overflow".
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

std::string Utf8(const wchar_t* text, std::size_t length) {
  const int needed = WideCharToMultiByte(CP_UTF8, 0, text, static_cast<int>(length), nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<std::size_t>(needed), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text, static_cast<int>(length), out.data(), needed, nullptr, nullptr);
  return out;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc != 3) return 2;
  HANDLE folder = CreateFileW(argv[1], FILE_LIST_DIRECTORY, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OVERLAPPED, nullptr);
  FILE* log = _wfopen(argv[2], L"w");
  OVERLAPPED reading{};
  reading.hEvent = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  if (folder == INVALID_HANDLE_VALUE || log == nullptr || reading.hEvent == nullptr) return 3;
  std::vector<DWORD> buffer(16384);
  bool first = true;
  for (;;) {
    if (!ReadDirectoryChangesW(folder, buffer.data(), static_cast<DWORD>(buffer.size() * sizeof(DWORD)), TRUE,
                               FILE_NOTIFY_CHANGE_FILE_NAME | FILE_NOTIFY_CHANGE_DIR_NAME, nullptr, &reading,
                               nullptr)) {
      return 4;
    }
    // The watch is on once the first read is queued: from here on, changes
    // wait in the folder's queue between reads.
    if (first) {
      std::fprintf(log, "ready\n");
      std::fflush(log);
      first = false;
    }
    DWORD got = 0;
    if (!GetOverlappedResult(folder, &reading, &got, TRUE)) return 5;
    if (got == 0) std::fprintf(log, "overflow\n");
    for (auto* event = reinterpret_cast<FILE_NOTIFY_INFORMATION*>(buffer.data()); got > 0;) {
      if (event->Action == FILE_ACTION_ADDED || event->Action == FILE_ACTION_RENAMED_NEW_NAME) {
        std::fprintf(log, "%s\n", Utf8(event->FileName, event->FileNameLength / sizeof(wchar_t)).c_str());
      }
      if (event->NextEntryOffset == 0) break;
      event = reinterpret_cast<FILE_NOTIFY_INFORMATION*>(reinterpret_cast<BYTE*>(event) + event->NextEntryOffset);
    }
    std::fflush(log);
  }
}
