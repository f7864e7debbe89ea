#include "ProcessResources.h"

#include <winternl.h>

#include <cstdint>

#include "engine/core/Win32.h"

namespace ui::test {
namespace {

// The GDI handle table of a 32-bit process: the process environment block
// points to it; Wine keeps one per process, 65 536 entries of 24 bytes, an
// entry's object type at byte 14 and 0 when the entry is free.
constexpr std::size_t kGdiTableOffsetInPeb = 0x94;
constexpr int kGdiTableEntries = 0x10000;
constexpr std::size_t kGdiEntryBytes = 24;
constexpr std::size_t kGdiEntryTypeByte = 14;

const unsigned char* ProcessEnvironmentBlock() {
  using QueryProcess = LONG(WINAPI*)(HANDLE, PROCESSINFOCLASS, void*, ULONG, ULONG*);
  auto query = reinterpret_cast<QueryProcess>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "NtQueryInformationProcess")));
  PROCESS_BASIC_INFORMATION basic{};
  if (query == nullptr || query(GetCurrentProcess(), ProcessBasicInformation, &basic, sizeof basic, nullptr) != 0) {
    return nullptr;
  }
  return reinterpret_cast<const unsigned char*>(basic.PebBaseAddress);
}

long LiveGdiTableEntries() {
  const unsigned char* peb = ProcessEnvironmentBlock();
  if (peb == nullptr) return -1;
  const auto* table = *reinterpret_cast<const unsigned char* const*>(peb + kGdiTableOffsetInPeb);
  if (table == nullptr) return -1;
  long live = 0;
  for (int i = 0; i < kGdiTableEntries; ++i) {
    if (table[i * kGdiEntryBytes + kGdiEntryTypeByte] != 0) ++live;
  }
  return live;
}

BOOL CALLBACK CountWindow(HWND window, LPARAM count) {
  ++*reinterpret_cast<long*>(count);
  EnumChildWindows(window, &CountWindow, count);
  return TRUE;
}

long ThreadWindows() {
  long count = 0;
  EnumThreadWindows(GetCurrentThreadId(), &CountWindow, reinterpret_cast<LPARAM>(&count));
  return count;
}

// Handle values are multiples of 4; the process's handles are far below
// this bound.
long OpenHandleValues() {
  long open = 0;
  DWORD flags = 0;
  for (std::uintptr_t value = 4; value < 0x10000; value += 4) {
    if (GetHandleInformation(reinterpret_cast<HANDLE>(value), &flags)) ++open;
  }
  return open;
}

// A counter of the system, or -1 when the system does not keep it.
long SystemGuiCount(DWORD which) {
  SetLastError(ERROR_SUCCESS);
  const DWORD count = GetGuiResources(GetCurrentProcess(), which);
  return count == 0 && GetLastError() == ERROR_CALL_NOT_IMPLEMENTED ? -1 : static_cast<long>(count);
}

}  // namespace

ProcessResources CountProcessResources() {
  GdiFlush();
  ProcessResources counts;
  counts.gdiObjects = SystemGuiCount(GR_GDIOBJECTS);
  if (counts.gdiObjects < 0) counts.gdiObjects = LiveGdiTableEntries();
  counts.userObjects = SystemGuiCount(GR_USEROBJECTS);
  if (counts.userObjects < 0) counts.userObjects = ThreadWindows();
  DWORD handles = 0;
  counts.kernelHandles = GetProcessHandleCount(GetCurrentProcess(), &handles) && handles != 0
                             ? static_cast<long>(handles)
                             : OpenHandleValues();
  return counts;
}

}  // namespace ui::test
