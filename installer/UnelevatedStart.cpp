#include "UnelevatedStart.h"

#include "engine/core/ComPointer.h"
#include "engine/core/SystemLibraries.h"
#include "engine/core/TextConversion.h"
#include "engine/core/Win32.h"

#include <exdisp.h>
#include <objbase.h>
#include <shldisp.h>
#include <shlguid.h>
#include <shlobj.h>
#include <shobjidl.h>

namespace setup {
namespace {

template <class Interface>
using Com = ui::ComPointer<Interface>;

// oleaut32 (text for COM calls) is loaded from the system folder when
// first needed, not named in the import table.
struct AutomationText {
  using Allocate = BSTR(WINAPI*)(const OLECHAR*);
  using Free = void(WINAPI*)(BSTR);
  Allocate allocate = nullptr;
  Free free = nullptr;
};

const AutomationText& Automation() {
  static const AutomationText functions = [] {
    AutomationText loaded;
    if (HMODULE module = ui::LoadSystemLibrary(L"oleaut32.dll")) {
      loaded.allocate =
          reinterpret_cast<AutomationText::Allocate>(reinterpret_cast<void*>(GetProcAddress(module, "SysAllocString")));
      loaded.free =
          reinterpret_cast<AutomationText::Free>(reinterpret_cast<void*>(GetProcAddress(module, "SysFreeString")));
    }
    return loaded;
  }();
  return functions;
}

// A VARIANT holding a BSTR, or VT_EMPTY.
class TextVariant {
 public:
  explicit TextVariant(const std::wstring& text) {
    variant_.vt = VT_EMPTY;
    if (Automation().allocate == nullptr) return;
    variant_.bstrVal = Automation().allocate(text.c_str());
    if (variant_.bstrVal != nullptr) variant_.vt = VT_BSTR;
  }
  TextVariant(const TextVariant&) = delete;
  TextVariant& operator=(const TextVariant&) = delete;
  ~TextVariant() {
    if (variant_.vt == VT_BSTR) Automation().free(variant_.bstrVal);
  }
  const VARIANT& get() const { return variant_; }
  bool Empty() const { return variant_.vt == VT_EMPTY; }

 private:
  VARIANT variant_{};
};

// The desktop's shell, as the Shell.Application object of its view.
bool DesktopShell(Com<IShellDispatch2>* shell, std::string* why) {
  Com<IShellWindows> windows;
  if (FAILED(
          CoCreateInstance(CLSID_ShellWindows, nullptr, CLSCTX_LOCAL_SERVER, IID_IShellWindows, windows.OutVoid()))) {
    *why = "no shell windows";
    return false;
  }
  VARIANT desktop{};
  desktop.vt = VT_I4;
  desktop.lVal = CSIDL_DESKTOP;
  VARIANT none{};
  none.vt = VT_EMPTY;
  long window = 0;
  Com<IDispatch> found;
  if (windows->FindWindowSW(&desktop, &none, SWC_DESKTOP, &window, SWFO_NEEDDISPATCH, found.Out()) != S_OK || !found) {
    *why = "no desktop shell window";
    return false;
  }
  Com<IServiceProvider> services;
  Com<IShellBrowser> browser;
  Com<IShellView> view;
  Com<IDispatch> background;
  Com<IShellFolderViewDual> folderView;
  Com<IDispatch> application;
  const bool reached = SUCCEEDED(found->QueryInterface(IID_IServiceProvider, services.OutVoid())) &&
                       SUCCEEDED(services->QueryService(SID_STopLevelBrowser, IID_IShellBrowser, browser.OutVoid())) &&
                       SUCCEEDED(browser->QueryActiveShellView(view.Out())) &&
                       SUCCEEDED(view->GetItemObject(SVGIO_BACKGROUND, IID_IDispatch, background.OutVoid())) &&
                       SUCCEEDED(background->QueryInterface(IID_IShellFolderViewDual, folderView.OutVoid())) &&
                       SUCCEEDED(folderView->get_Application(application.Out())) &&
                       SUCCEEDED(application->QueryInterface(IID_IShellDispatch2, shell->OutVoid()));
  if (!reached) *why = "the desktop shell offers no Shell.Application";
  return reached;
}

}  // namespace

bool ProcessIsElevated() {
  HANDLE token = nullptr;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) return false;
  TOKEN_ELEVATION elevation{};
  DWORD size = 0;
  const bool read = GetTokenInformation(token, TokenElevation, &elevation, sizeof elevation, &size);
  CloseHandle(token);
  return read && elevation.TokenIsElevated != 0;
}

bool StartAsDesktopUser(const std::wstring& file, const std::string& parameters, std::string* why) {
  // COM for this call alone; a thread that has COM already keeps it.
  struct ComForThisCall {
    const HRESULT started = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    ~ComForThisCall() {
      if (SUCCEEDED(started)) CoUninitialize();
    }
  } com;
  Com<IShellDispatch2> shell;
  if (!DesktopShell(&shell, why)) return false;
  TextVariant arguments(ui::AnsiToWide(parameters)), folder(L""), verb(L"open");
  BSTR program = Automation().allocate != nullptr ? Automation().allocate(file.c_str()) : nullptr;
  if (program == nullptr || verb.Empty()) {
    *why = "no automation text";
    return false;
  }
  VARIANT show{};
  show.vt = VT_I4;
  show.lVal = SW_SHOWNORMAL;
  const HRESULT result = shell->ShellExecute(program, arguments.get(), folder.get(), verb.get(), show);
  Automation().free(program);
  if (FAILED(result)) *why = "the desktop shell refused (" + std::to_string(static_cast<long>(result)) + ")";
  return SUCCEEDED(result);
}

std::string StartUnelevated(const std::wstring& file, const std::string& parameters, const ProgramStarters& starters) {
  const std::string shown = ui::WideToAnsi(file) + " " + parameters;  // for the log
  const std::string started = "started: " + shown;
  std::string why = "the installer is not elevated";
  if (starters.elevated() && starters.asDesktopUser(file, parameters, &why)) {
    return started + " (as the desktop's user, through its shell)";
  }
  if (starters.directly(file, parameters)) return started + " (with the installer's own rights: " + why + ")";
  return "could not start: " + shown;
}

}  // namespace setup
