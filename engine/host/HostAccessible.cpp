#include "HostAccessible.h"

#include <oleacc.h>

#include <atomic>
#include <string>
#include <vector>

#include "HostWindow.h"
#include "engine/controls/Control.h"
#include "engine/core/EngineMessages.h"
#include "engine/core/SystemLibraries.h"
#include "engine/core/TextConversion.h"

namespace ui {
namespace {

// oleacc and oleaut32 are loaded when a screen reader first asks, not at
// start-up.
struct AccessibilityLibrary {
  decltype(&LresultFromObject) resultFromObject = nullptr;
  decltype(&CreateStdAccessibleObject) createStandardObject = nullptr;
  decltype(&SysAllocString) allocString = nullptr;
  bool loaded = false;
};

template <class F>
F Procedure(HMODULE module, const char* name) {
  return module == nullptr ? nullptr : reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

const AccessibilityLibrary& Library() {
  static const AccessibilityLibrary library = [] {
    AccessibilityLibrary loaded;
    HMODULE oleacc = LoadSystemLibrary(L"oleacc.dll");
    HMODULE oleaut = LoadSystemLibrary(L"oleaut32.dll");
    loaded.resultFromObject = Procedure<decltype(&LresultFromObject)>(oleacc, "LresultFromObject");
    loaded.createStandardObject = Procedure<decltype(&CreateStdAccessibleObject)>(oleacc, "CreateStdAccessibleObject");
    loaded.allocString = Procedure<decltype(&SysAllocString)>(oleaut, "SysAllocString");
    loaded.loaded = loaded.resultFromObject && loaded.createStandardObject && loaded.allocString;
    return loaded;
  }();
  return library;
}

HRESULT Text(const std::string& text, BSTR* out) {
  if (out == nullptr) return E_POINTER;
  *out = nullptr;
  if (text.empty()) return S_FALSE;
  *out = Library().allocString(AnsiToWide(text).c_str());
  return *out != nullptr ? S_OK : E_OUTOFMEMORY;
}

class HostAccessible final : public IAccessible {
 public:
  explicit HostAccessible(HWND window) : window_(window) {}

  // --- IUnknown
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID id, void** object) override {
    if (object == nullptr) return E_POINTER;
    if (id == IID_IUnknown || id == IID_IDispatch || id == IID_IAccessible) {
      *object = static_cast<IAccessible*>(this);
      AddRef();
      return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
  ULONG STDMETHODCALLTYPE Release() override {
    const ULONG left = --references_;
    if (left == 0) delete this;
    return left;
  }

  // --- IDispatch: not offered; clients use the IAccessible methods.
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
    if (count != nullptr) *count = 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override {
    return E_NOTIMPL;
  }

  // --- IAccessible
  HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override {
    if (parent == nullptr) return E_POINTER;
    *parent = nullptr;
    if (!Alive()) return E_FAIL;
    return Library().createStandardObject(window_, OBJID_WINDOW, IID_IDispatch, reinterpret_cast<void**>(parent));
  }
  HRESULT STDMETHODCALLTYPE get_accChildCount(long* count) override {
    if (count == nullptr) return E_POINTER;
    HostWindow* host = Host();
    *count = host != nullptr ? static_cast<long>(host->AccessibleControls().size()) : 0;
    return host != nullptr ? S_OK : E_FAIL;
  }
  HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** object) override {
    if (object == nullptr) return E_POINTER;
    *object = nullptr;
    // Every child is a simple element of this object.
    return Child(child) != nullptr ? S_FALSE : E_INVALIDARG;
  }
  HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override {
    if (IsSelf(child)) {
      wchar_t title[256] = {};
      GetWindowTextW(window_, title, 256);
      return Text(WideToAnsi(title), name);
    }
    const Control* control = Child(child);
    if (control == nullptr) return E_INVALIDARG;
    return Text(control->Describe().name, name);
  }
  HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* value) override {
    if (value == nullptr) return E_POINTER;
    *value = nullptr;
    if (IsSelf(child)) return S_FALSE;
    const Control* control = Child(child);
    if (control == nullptr) return E_INVALIDARG;
    const AccessibleDescription description = control->Describe();
    if (!description.value) return S_FALSE;
    *value = Library().allocString(AnsiToWide(*description.value).c_str());
    return *value != nullptr ? S_OK : E_OUTOFMEMORY;
  }
  HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT, BSTR* text) override { return Text({}, text); }
  HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT, BSTR* text) override { return Text({}, text); }
  HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT, long* topic) override {
    if (file != nullptr) *file = nullptr;
    if (topic != nullptr) *topic = 0;
    return S_FALSE;
  }
  HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT, BSTR* text) override { return Text({}, text); }
  HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override {
    if (role == nullptr) return E_POINTER;
    VariantInitialise(role);
    long value = ROLE_SYSTEM_CLIENT;
    if (!IsSelf(child)) {
      const Control* control = Child(child);
      if (control == nullptr) return E_INVALIDARG;
      value = control->Describe().role;
    }
    role->vt = VT_I4;
    role->lVal = value;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* state) override {
    if (state == nullptr) return E_POINTER;
    VariantInitialise(state);
    HostWindow* host = Host();
    if (host == nullptr) return E_FAIL;
    long value = STATE_SYSTEM_FOCUSABLE;
    if (IsSelf(child)) {
      if (GetFocus() == window_) value |= STATE_SYSTEM_FOCUSED;
    } else {
      const Control* control = Child(child);
      if (control == nullptr) return E_INVALIDARG;
      value = control->Describe().state;
      if (control->Interactive() && !host->Caption().IsButton(control)) value |= STATE_SYSTEM_FOCUSABLE;
      if (control == host->FocusControl()) value |= STATE_SYSTEM_FOCUSED;
      if (control->Disabled()) value |= STATE_SYSTEM_UNAVAILABLE;
    }
    state->vt = VT_I4;
    state->lVal = value;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* focused) override {
    if (focused == nullptr) return E_POINTER;
    VariantInitialise(focused);
    HostWindow* host = Host();
    if (host == nullptr || GetFocus() != window_) return S_FALSE;
    focused->vt = VT_I4;
    focused->lVal = host->FocusControl() != nullptr ? host->AccessibleChildId(host->FocusControl()) : CHILDID_SELF;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* selection) override {
    if (selection == nullptr) return E_POINTER;
    VariantInitialise(selection);
    return S_FALSE;
  }
  HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* action) override {
    if (IsSelf(child)) return Text({}, action);
    const Control* control = Child(child);
    if (control == nullptr) return E_INVALIDARG;
    return Text(control->Describe().defaultAction, action);
  }
  HRESULT STDMETHODCALLTYPE accSelect(long flags, VARIANT child) override {
    HostWindow* host = Host();
    Control* control = Child(child);
    if (host == nullptr || control == nullptr) return E_INVALIDARG;
    if ((flags & SELFLAG_TAKEFOCUS) == 0) return E_NOTIMPL;
    host->SetFocusControl(control, true);
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE accLocation(long* left, long* top, long* width, long* height, VARIANT child) override {
    if (left == nullptr || top == nullptr || width == nullptr || height == nullptr) return E_POINTER;
    RECT box{};
    if (IsSelf(child)) {
      if (!GetWindowRect(window_, &box)) return E_FAIL;
    } else {
      const Control* control = Child(child);
      if (control == nullptr) return E_INVALIDARG;
      // On the screen, in device pixels.
      const HostWindow* host = Host();
      const DeviceBox place = (host != nullptr ? host->Composition().Scale() : DisplayScale{})
                                  .ToDevice(RectF{control->Bounds().left, control->Bounds().top,
                                                  static_cast<float>(static_cast<LONG>(control->Bounds().width)),
                                                  static_cast<float>(static_cast<LONG>(control->Bounds().height))});
      POINT origin{place.left, place.top};
      ClientToScreen(window_, &origin);
      box = {origin.x, origin.y, origin.x + place.Width(), origin.y + place.Height()};
    }
    *left = box.left;
    *top = box.top;
    *width = box.right - box.left;
    *height = box.bottom - box.top;
    return S_OK;
  }
  // The children in tab order; the window's own place among its siblings
  // and the directions on the screen are not offered.
  HRESULT STDMETHODCALLTYPE accNavigate(long direction, VARIANT start, VARIANT* end) override {
    if (end == nullptr) return E_POINTER;
    VariantInitialise(end);
    HostWindow* host = Host();
    if (host == nullptr) return E_FAIL;
    const long count = static_cast<long>(host->AccessibleControls().size());
    long found = 0;
    if (IsSelf(start)) {
      if (direction == NAVDIR_FIRSTCHILD) found = count > 0 ? 1 : 0;
      else if (direction == NAVDIR_LASTCHILD) found = count;
      else return E_NOTIMPL;
    } else {
      if (Child(start) == nullptr) return E_INVALIDARG;
      if (direction == NAVDIR_NEXT) found = start.lVal < count ? start.lVal + 1 : 0;
      else if (direction == NAVDIR_PREVIOUS) found = start.lVal - 1;
      else if (direction == NAVDIR_FIRSTCHILD || direction == NAVDIR_LASTCHILD) return S_FALSE;  // no children
      else return E_NOTIMPL;
    }
    if (found <= 0) return S_FALSE;
    end->vt = VT_I4;
    end->lVal = found;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE accHitTest(long x, long y, VARIANT* found) override {
    if (found == nullptr) return E_POINTER;
    VariantInitialise(found);
    HostWindow* host = Host();
    if (host == nullptr) return E_FAIL;
    RECT window{};
    GetWindowRect(window_, &window);
    const POINT screen{x, y};
    if (!PtInRect(&window, screen)) return S_FALSE;
    POINT point = screen;
    ScreenToClient(window_, &point);
    point = {host->Composition().Scale().ToLogical(point.x), host->Composition().Scale().ToLogical(point.y)};
    // The last control drawn at the point is the one on top.
    const std::vector<Control*> controls = host->AccessibleControls();
    long id = CHILDID_SELF;
    for (std::size_t i = 0; i < controls.size(); ++i) {
      const RectF& b = controls[i]->Bounds();
      if (point.x >= b.left && point.x < b.left + b.width && point.y >= b.top && point.y < b.top + b.height) {
        id = static_cast<long>(i + 1);
      }
    }
    found->vt = VT_I4;
    found->lVal = id;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override {
    HostWindow* host = Host();
    Control* control = Child(child);
    if (host == nullptr || control == nullptr) return E_INVALIDARG;
    if (control->Describe().defaultAction.empty() || control->Disabled()) return DISP_E_MEMBERNOTFOUND;
    // Done later on the window's thread, as a click; the caller goes on.
    PostMessageW(window_, kMsgAccessibleClick, reinterpret_cast<WPARAM>(control->GetHandle()), 0);
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE put_accName(VARIANT, BSTR) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE put_accValue(VARIANT, BSTR) override { return E_NOTIMPL; }

 private:
  static void VariantInitialise(VARIANT* variant) {
    *variant = VARIANT{};
    variant->vt = VT_EMPTY;
  }
  static bool IsSelf(const VARIANT& child) { return child.vt == VT_I4 && child.lVal == CHILDID_SELF; }
  bool Alive() const { return IsWindow(window_) && HostWindow::FromWindow(window_) != nullptr; }
  HostWindow* Host() const { return Alive() ? HostWindow::FromWindow(window_) : nullptr; }
  // The control a child id names now, or null.
  Control* Child(const VARIANT& child) const {
    HostWindow* host = Host();
    if (host == nullptr || child.vt != VT_I4 || child.lVal <= 0) return nullptr;
    const std::vector<Control*> controls = host->AccessibleControls();
    return static_cast<std::size_t>(child.lVal) <= controls.size() ? controls[child.lVal - 1] : nullptr;
  }

  HWND window_;
  std::atomic<ULONG> references_{1};
};

}  // namespace

LRESULT AnswerAccessibleObjectRequest(HWND window, WPARAM flags) {
  if (!Library().loaded) return 0;
  auto* object = new HostAccessible(window);
  const LRESULT answer = Library().resultFromObject(IID_IAccessible, flags, object);
  object->Release();
  return answer;
}

void NotifyAccessibleEvent(DWORD event, HWND window, long childId) {
  NotifyWinEvent(event, window, OBJID_CLIENT, childId);
}

// --- HostWindow: what its screen readers see ------------------------------

std::vector<Control*> HostWindow::AccessibleControls() const {
  std::vector<Control*> controls;
  for (Control* control : ControlList(firstControl_)) {
    if (control->Visible() == 1 && control->GetHandle() != nullptr && control->Describe().role != 0)
      controls.push_back(control);
  }
  return controls;
}

long HostWindow::AccessibleChildId(const Control* control) const {
  const std::vector<Control*> controls = AccessibleControls();
  for (std::size_t i = 0; i < controls.size(); ++i) {
    if (controls[i] == control) return static_cast<long>(i + 1);
  }
  return 0;
}

void HostWindow::AnnounceAccessibleEvent(const Control* control, unsigned long event) {
  if (const long id = AccessibleChildId(control)) NotifyAccessibleEvent(event, hwnd_, id);
}

}  // namespace ui
