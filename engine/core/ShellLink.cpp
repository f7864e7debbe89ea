#include "ShellLink.h"

#include "ComPointer.h"
#include "SystemLibraries.h"
#include "Win32.h"

#include <objbase.h>
#include <shlobj.h>
#include <shobjidl.h>

namespace ui {
namespace {

template <class Interface>
using Com = ComPointer<Interface>;

}  // namespace

std::vector<std::uint8_t> ShellLinkBytes(const std::wstring& target, const std::wstring& description) {
  Com<IShellLinkW> link;
  Com<IPersistStream> persist;
  Com<IStream> stream;
  if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW, link.OutVoid())) ||
      FAILED(link->SetPath(target.c_str())) || FAILED(link->SetShowCmd(SW_SHOW)) ||
      FAILED(link->SetDescription(description.c_str())) ||
      FAILED(link->QueryInterface(IID_IPersistStream, persist.OutVoid())) ||
      FAILED(CreateStreamOnHGlobal(nullptr, TRUE, stream.Out())) || FAILED(persist->Save(stream.get(), TRUE))) {
    return {};
  }
  HGLOBAL memory = nullptr;
  STATSTG status{};
  if (FAILED(GetHGlobalFromStream(stream.get(), &memory)) || FAILED(stream->Stat(&status, STATFLAG_NONAME))) return {};
  const auto* bytes = static_cast<const std::uint8_t*>(GlobalLock(memory));
  if (bytes == nullptr) return {};
  std::vector<std::uint8_t> copy(bytes, bytes + status.cbSize.QuadPart);
  GlobalUnlock(memory);
  return copy;
}

std::optional<std::wstring> ShellLinkTarget(const std::vector<std::uint8_t>& bytes) {
  if (bytes.empty()) return std::nullopt;
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes.size());
  if (memory == nullptr) return std::nullopt;
  void* into = GlobalLock(memory);
  if (into == nullptr) {
    GlobalFree(memory);
    return std::nullopt;
  }
  CopyMemory(into, bytes.data(), bytes.size());
  GlobalUnlock(memory);
  Com<IStream> stream;
  if (FAILED(CreateStreamOnHGlobal(memory, TRUE, stream.Out()))) {
    GlobalFree(memory);
    return std::nullopt;
  }
  Com<IShellLinkW> link;
  Com<IPersistStream> persist;
  if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW, link.OutVoid())) ||
      FAILED(link->QueryInterface(IID_IPersistStream, persist.OutVoid())) || FAILED(persist->Load(stream.get()))) {
    return std::nullopt;
  }
  // Where the link leads: by its item list, which holds the path in
  // UTF-16 (the path a link keeps beside it is in the system's ANSI code
  // page, where a Chinese folder may not survive), else as written.
  using PathFromList = BOOL(WINAPI*)(PCIDLIST_ABSOLUTE, LPWSTR);
  static HMODULE shell = LoadSystemLibrary(L"shell32.dll");
  static const auto pathFromList = reinterpret_cast<PathFromList>(
      shell == nullptr ? nullptr : reinterpret_cast<void*>(GetProcAddress(shell, "SHGetPathFromIDListW")));
  wchar_t target[MAX_PATH] = {};
  PIDLIST_ABSOLUTE list = nullptr;
  if (pathFromList != nullptr && link->GetIDList(&list) == S_OK && list != nullptr) {
    const bool found = pathFromList(list, target);
    CoTaskMemFree(list);
    if (found) return std::wstring(target);
  }
  if (link->GetPath(target, MAX_PATH, nullptr, SLGP_RAWPATH) != S_OK) return std::nullopt;
  return std::wstring(target);
}

}  // namespace ui
