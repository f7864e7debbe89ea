// Listens as a screen reader does: a WinEvent hook outside the program
// hears the value changes of the window with the given title, and at each
// event reads the changed element's name and value through oleacc.
// Usage: accessible_watch <window title> <log file>
// Writes "ready" once hooked, then one line per event of that window, UTF-8:
//   value-change <child id> name=<name> value=<value, line breaks as \n>
// or, where the element could not be read (the window ended first):
//   value-change <child id> (no object)
#include <windows.h>
#include <oleacc.h>

#include <cstdio>
#include <string>

namespace {

std::wstring title;
HWND target = nullptr;
FILE* logFile = nullptr;

std::string Utf8(const std::wstring& text) {
  if (text.empty()) return {};
  const int needed =
      WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<std::size_t>(needed), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), needed, nullptr, nullptr);
  return out;
}

std::wstring Read(IAccessible* object, const VARIANT& child,
                  HRESULT (STDMETHODCALLTYPE IAccessible::*get)(VARIANT, BSTR*)) {
  BSTR text = nullptr;
  if ((object->*get)(child, &text) != S_OK || text == nullptr) return L"(none)";
  std::wstring copy(text);
  SysFreeString(text);
  std::wstring flat;
  for (std::size_t i = 0; i < copy.size(); ++i) {
    if (copy[i] == L'\r' && i + 1 < copy.size() && copy[i + 1] == L'\n') continue;
    flat += copy[i] == L'\n' ? std::wstring(L"\\n") : std::wstring(1, copy[i]);
  }
  return flat;
}

void CALLBACK OnEvent(HWINEVENTHOOK, DWORD event, HWND window, LONG object, LONG child, DWORD, DWORD) {
  if (object != OBJID_CLIENT) return;
  // The window is told by its title the first time and by its handle after
  // that, so that an event handled once the window has ended still says so
  // rather than vanish.
  if (target == nullptr) {
    wchar_t text[256] = {};
    if (GetWindowTextW(window, text, 256) == 0 || title != text) return;
    target = window;
  }
  if (window != target) return;
  IAccessible* source = nullptr;
  VARIANT element{};
  std::string line = "value-change " + std::to_string(child);
  if (AccessibleObjectFromEvent(window, object, child, &source, &element) == S_OK && source != nullptr) {
    line += " name=" + Utf8(Read(source, element, &IAccessible::get_accName));
    line += " value=" + Utf8(Read(source, element, &IAccessible::get_accValue));
    source->Release();
  } else {
    line += " (no object)";
  }
  std::fprintf(logFile, "%s\n", line.c_str());
  std::fflush(logFile);
  (void)event;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc != 3) return 2;
  title = argv[1];
  logFile = _wfopen(argv[2], L"w");
  if (logFile == nullptr) return 2;
  // A multithreaded apartment: a call into the window's process then waits
  // without dispatching messages, so the next event is not handled inside
  // the read of this one (where a later read could finish first and the
  // lines come out of order, each with the value of another moment).
  CoInitializeEx(nullptr, COINIT_MULTITHREADED);
  HWINEVENTHOOK hook = SetWinEventHook(EVENT_OBJECT_VALUECHANGE, EVENT_OBJECT_VALUECHANGE, nullptr, &OnEvent, 0, 0,
                                       WINEVENT_OUTOFCONTEXT | WINEVENT_SKIPOWNPROCESS);
  if (hook == nullptr) return 3;
  // The first reach into another process through oleacc starts COM's
  // marshalling, which can take longer than the window lives after its
  // last event: it is done once now, on the window itself, before the
  // test goes on.
  // (A screen reader may also start before the window: then this waits for
  // the first event.)
  target = FindWindowW(nullptr, title.c_str());
  IAccessible* client = nullptr;
  if (target != nullptr &&
      AccessibleObjectFromWindow(target, static_cast<DWORD>(OBJID_CLIENT), IID_IAccessible,
                                 reinterpret_cast<void**>(&client)) == S_OK &&
      client != nullptr) {
    VARIANT self{};
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    Read(client, self, &IAccessible::get_accName);
    client->Release();
  }
  std::fprintf(logFile, "ready\n");
  std::fflush(logFile);
  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) DispatchMessageW(&message);
  UnhookWinEvent(hook);
  CoUninitialize();
  return 0;
}
