#include "RunningProduct.h"

#include <tlhelp32.h>

#include <algorithm>

#include "engine/core/FileIdentity.h"

namespace product {
namespace {

// Restart Manager's few types and entries this file uses, as rstrtmgr.dll
// exports them.
constexpr int kSessionKeyChars = 33;  // CCH_RM_SESSION_KEY + 1
struct RmUniqueProcess {
  DWORD processId;
  FILETIME startTime;
};
struct RmProcessInfo {
  RmUniqueProcess process;
  wchar_t appName[256];
  wchar_t serviceShortName[64];
  int applicationType;
  ULONG appStatus;
  DWORD sessionId;
  BOOL restartable;
};
using RmStartSessionFn = DWORD(WINAPI*)(DWORD*, DWORD, wchar_t*);
using RmRegisterResourcesFn = DWORD(WINAPI*)(DWORD, UINT, const wchar_t**, UINT, RmUniqueProcess*, UINT,
                                             const wchar_t**);
using RmGetListFn = DWORD(WINAPI*)(DWORD, UINT*, UINT*, RmProcessInfo*, DWORD*);
using RmEndSessionFn = DWORD(WINAPI*)(DWORD);

template <typename F>
F Entry(HMODULE library, const char* name) {
  return reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(library, name)));
}

std::wstring ImageOf(DWORD id) {
  HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, id);
  if (process == nullptr) return {};
  wchar_t path[MAX_PATH * 4];
  DWORD length = static_cast<DWORD>(std::size(path));
  const bool read = QueryFullProcessImageNameW(process, 0, path, &length);
  CloseHandle(process);
  return read ? std::wstring(path, length) : std::wstring();
}

void Add(std::vector<ProductProcess>* found, DWORD id, std::wstring image) {
  if (id == GetCurrentProcessId()) return;
  for (const ProductProcess& known : *found) {
    if (known.id == id) return;
  }
  found->push_back({id, std::move(image)});
}

// What Restart Manager says holds the files; nothing where it is missing or
// answers nothing (Wine's).
void AskRestartManager(const std::vector<std::wstring>& files, std::vector<ProductProcess>* found) {
  HMODULE library = LoadLibraryExW(L"rstrtmgr.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
  if (library == nullptr) return;
  const auto start = Entry<RmStartSessionFn>(library, "RmStartSession");
  const auto registerFiles = Entry<RmRegisterResourcesFn>(library, "RmRegisterResources");
  const auto list = Entry<RmGetListFn>(library, "RmGetList");
  const auto end = Entry<RmEndSessionFn>(library, "RmEndSession");
  DWORD session = 0;
  wchar_t key[kSessionKeyChars] = {};
  if (start != nullptr && registerFiles != nullptr && list != nullptr && end != nullptr &&
      start(&session, 0, key) == ERROR_SUCCESS) {
    std::vector<const wchar_t*> names;
    names.reserve(files.size());
    for (const std::wstring& file : files) names.push_back(file.c_str());
    if (registerFiles(session, static_cast<UINT>(names.size()), names.data(), 0, nullptr, 0, nullptr) ==
        ERROR_SUCCESS) {
      std::vector<RmProcessInfo> infos(16);
      UINT needed = 0, count = static_cast<UINT>(infos.size());
      DWORD reasons = 0;
      DWORD status = list(session, &needed, &count, infos.data(), &reasons);
      if (status == ERROR_MORE_DATA) {
        infos.resize(needed);
        count = needed;
        status = list(session, &needed, &count, infos.data(), &reasons);
      }
      if (status == ERROR_SUCCESS) {
        for (UINT i = 0; i < count && i < infos.size(); ++i) {
          Add(found, infos[i].process.processId, ImageOf(infos[i].process.processId));
        }
      }
    }
    end(session);
  }
  FreeLibrary(library);
}

struct WindowsOf {
  DWORD process;
  std::vector<HWND> windows;
};

BOOL CALLBACK CollectWindow(HWND window, LPARAM context) {
  auto* of = reinterpret_cast<WindowsOf*>(context);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (owner == of->process) of->windows.push_back(window);
  return TRUE;
}

}  // namespace

RunningMark::RunningMark()
    : local_(CreateMutexW(nullptr, FALSE, kRunningMarkLocal)),
      global_(CreateMutexW(nullptr, FALSE, kRunningMarkGlobal)) {}

RunningMark::~RunningMark() {
  if (local_ != nullptr) CloseHandle(local_);
  if (global_ != nullptr) CloseHandle(global_);
}

bool ProductMarked() {
  for (const wchar_t* name : {kRunningMarkLocal, kRunningMarkGlobal}) {
    HANDLE mark = OpenMutexW(SYNCHRONIZE, FALSE, name);
    if (mark != nullptr) {
      CloseHandle(mark);
      return true;
    }
    // A mark made by a process with other rights still says it runs.
    if (GetLastError() == ERROR_ACCESS_DENIED) return true;
  }
  return false;
}

std::vector<ProductProcess> ProductProcesses(const std::vector<std::wstring>& folders) {
  std::vector<std::wstring> programs;
  for (const std::wstring& folder : folders) {
    if (!folder.empty()) programs.push_back(ui::WithoutTrailingSeparators(folder) + L'\\' + kProductProgramName);
  }
  std::vector<ProductProcess> found;
  if (programs.empty()) return found;
  AskRestartManager(programs, &found);
  if (!ProductMarked()) return found;
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snapshot == INVALID_HANDLE_VALUE) return found;
  PROCESSENTRY32W entry{};
  entry.dwSize = sizeof entry;
  for (BOOL more = Process32FirstW(snapshot, &entry); more; more = Process32NextW(snapshot, &entry)) {
    if (!ui::SameName(entry.szExeFile, kProductProgramName)) continue;
    const std::wstring image = ImageOf(entry.th32ProcessID);
    const bool ours = std::any_of(programs.begin(), programs.end(),
                                  [&](const std::wstring& program) { return ui::SameName(image, program); });
    if (ours) Add(&found, entry.th32ProcessID, image);
  }
  CloseHandle(snapshot);
  return found;
}

std::vector<ProductProcess> CloseProductProcesses(const std::vector<ProductProcess>& processes, DWORD waitMs) {
  std::vector<HANDLE> handles;
  std::vector<ProductProcess> waited;
  std::vector<ProductProcess> stillRunning;
  for (const ProductProcess& process : processes) {
    HANDLE handle = OpenProcess(SYNCHRONIZE, FALSE, process.id);
    if (handle == nullptr) {
      // Ended already, or not ours to wait for: it counts as running
      // unless it is gone.
      if (GetLastError() != ERROR_INVALID_PARAMETER) stillRunning.push_back(process);
      continue;
    }
    WindowsOf of{process.id, {}};
    EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&of));
    for (HWND window : of.windows) PostMessageW(window, WM_CLOSE, 0, 0);
    handles.push_back(handle);
    waited.push_back(process);
  }
  const DWORD start = GetTickCount();
  for (std::size_t i = 0; i < handles.size(); ++i) {
    const DWORD spent = GetTickCount() - start;
    const DWORD left = spent < waitMs ? waitMs - spent : 0;
    if (WaitForSingleObject(handles[i], left) != WAIT_OBJECT_0) stillRunning.push_back(waited[i]);
    CloseHandle(handles[i]);
  }
  return stillRunning;
}

}  // namespace product
