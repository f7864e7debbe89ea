// The host window's controls as a screen reader reads them, through oleacc:
// AccessibleObjectFromWindow on the client area, then the children's names,
// roles, values, states and places, hit testing, the default action and the
// WinEvents that follow focus and value.
#include <gtest/gtest.h>

#include <oleacc.h>

#include <string>
#include <vector>

#include "engine/controls/Button.h"
#include "engine/controls/Label.h"
#include "engine/controls/ProgressBar.h"
#include "engine/core/EngineMessages.h"
#include "engine/edit/EditBox.h"
#include "engine/host/HostWindow.h"
#include "engine/testing/AccessibleChild.h"
#include "engine/testing/TestWindows.h"

namespace ui {
namespace {

VARIANT Child(long id) { return test::AccessibleChild(id); }

// The text an IAccessible text call answers, or "(none)" for S_FALSE.
template <class Call>
std::wstring Answer(Call call) {
  BSTR text = nullptr;
  const HRESULT result = call(&text);
  if (result == S_FALSE || text == nullptr) return L"(none)";
  std::wstring copy(text);
  SysFreeString(text);
  return copy;
}

long Number(IAccessible* object, HRESULT (STDMETHODCALLTYPE IAccessible::*get)(VARIANT, VARIANT*), long id) {
  VARIANT answer{};
  EXPECT_EQ((object->*get)(Child(id), &answer), S_OK);
  return answer.vt == VT_I4 ? answer.lVal : -1;
}

class Accessibility : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(host.Create(window.hwnd(), test::PlainHost()));
    host.Show();
    ASSERT_NE(button.Create(window.hwnd(), 10, 10, 80, 24, "&Go && Run"), nullptr);
    path.SetAccessibleName("安装位置");
    ASSERT_NE(path.Create(window.hwnd(), 10, 50, 200, 27, "D:\\Nimbo\\", {}), nullptr);
    EditBoxOptions readOnly;
    readOnly.inputMode = kEditReadOnly;
    ASSERT_NE(status.Create(window.hwnd(), 10, 90, 200, 27, "fixed", readOnly), nullptr);
    EditBoxOptions password;
    password.inputMode = kEditPassword;
    ASSERT_NE(secret.Create(window.hwnd(), 10, 130, 200, 27, "secret", password), nullptr);
    bar.SetAccessibleName("Progress");
    ASSERT_NE(bar.Create(window.hwnd(), 10, 170, 300, 20, 40), nullptr);
    ASSERT_NE(title.Create(window.hwnd(), 10, 200, 200, 20, "Title"), nullptr);
    test::Pump();
    ASSERT_EQ(
        AccessibleObjectFromWindow(window.hwnd(), OBJID_CLIENT, IID_IAccessible, reinterpret_cast<void**>(&object)),
        S_OK);
  }
  void TearDown() override {
    if (object != nullptr) object->Release();
  }

  test::TestWindow window{100, 100, 400, 300};
  HostWindow host;
  Button button;
  EditBox path, status, secret;
  ProgressBar bar;
  Label title;
  IAccessible* object = nullptr;
};

TEST_F(Accessibility, ControlsAreChildrenWithNameRoleValueAndState) {
  long count = 0;
  ASSERT_EQ(object->get_accChildCount(&count), S_OK);
  EXPECT_EQ(count, 6) << "the six visible controls, in creation order";

  const std::vector<std::wstring> names = {L"Go & Run", L"\u5B89\u88C5\u4F4D\u7F6E", L"(none)", L"(none)", L"Progress",
                                           L"Title"};
  const std::vector<long> roles = {ROLE_SYSTEM_PUSHBUTTON, ROLE_SYSTEM_TEXT,        ROLE_SYSTEM_TEXT,
                                   ROLE_SYSTEM_TEXT,       ROLE_SYSTEM_PROGRESSBAR, ROLE_SYSTEM_STATICTEXT};
  const std::vector<std::wstring> values = {L"(none)", L"D:\\Nimbo\\", L"fixed", L"(none)", L"40%", L"(none)"};
  for (long id = 1; id <= 6; ++id) {
    SCOPED_TRACE(id);
    EXPECT_EQ(Answer([&](BSTR* text) { return object->get_accName(Child(id), text); }), names[id - 1]);
    EXPECT_EQ(Number(object, &IAccessible::get_accRole, id), roles[id - 1]);
    EXPECT_EQ(Answer([&](BSTR* text) { return object->get_accValue(Child(id), text); }), values[id - 1]);
  }
  EXPECT_EQ(Answer([&](BSTR* text) { return object->get_accDefaultAction(Child(1), text); }), L"\u6309\u4E0B");
  EXPECT_EQ(Number(object, &IAccessible::get_accRole, CHILDID_SELF), ROLE_SYSTEM_CLIENT);

  EXPECT_TRUE(Number(object, &IAccessible::get_accState, 3) & STATE_SYSTEM_READONLY);
  EXPECT_TRUE(Number(object, &IAccessible::get_accState, 4) & STATE_SYSTEM_PROTECTED) << "a password is protected";
  EXPECT_FALSE(Number(object, &IAccessible::get_accState, 2) & STATE_SYSTEM_FOCUSED);
  host.SetFocusControl(&path, true);
  EXPECT_TRUE(Number(object, &IAccessible::get_accState, 2) & STATE_SYSTEM_FOCUSED);
  button.Disabled(1);
  EXPECT_TRUE(Number(object, &IAccessible::get_accState, 1) & STATE_SYSTEM_UNAVAILABLE);

  VARIANT child{};
  EXPECT_EQ(object->get_accChild(Child(7), reinterpret_cast<IDispatch**>(&child.pdispVal)), E_INVALIDARG);
  bar.Visible(0);
  ASSERT_EQ(object->get_accChildCount(&count), S_OK);
  EXPECT_EQ(count, 5) << "a hidden control leaves the tree";
}

TEST_F(Accessibility, PlacesAreOnTheScreenAndHitTestingAgrees) {
  POINT origin{0, 0};
  ClientToScreen(window.hwnd(), &origin);
  long left = 0, top = 0, width = 0, height = 0;
  ASSERT_EQ(object->accLocation(&left, &top, &width, &height, Child(2)), S_OK);
  EXPECT_EQ(left, origin.x + 10);
  EXPECT_EQ(top, origin.y + 50);
  EXPECT_EQ(width, 200);
  EXPECT_EQ(height, 27);

  VARIANT found{};
  ASSERT_EQ(object->accHitTest(origin.x + 50, origin.y + 20, &found), S_OK);
  EXPECT_EQ(found.vt, VT_I4);
  EXPECT_EQ(found.lVal, 1) << "the button's middle";
  ASSERT_EQ(object->accHitTest(origin.x + 300, origin.y + 60, &found), S_OK);
  EXPECT_EQ(found.lVal, CHILDID_SELF) << "the window between controls";
  EXPECT_EQ(object->accHitTest(origin.x - 50, origin.y - 50, &found), S_FALSE) << "outside the window";
}

int clicks = 0;
int CountClick(Control*, unsigned, WPARAM, LPARAM) {
  ++clicks;
  return 0;
}

TEST_F(Accessibility, NavigationWalksTheChildrenInTabOrder) {
  struct Step {
    long direction, from;
    HRESULT result;
    long to;  // -1: no child given back
  };
  const Step steps[] = {
      {NAVDIR_FIRSTCHILD, CHILDID_SELF, S_OK, 1},
      {NAVDIR_LASTCHILD, CHILDID_SELF, S_OK, 6},
      {NAVDIR_NEXT, 1, S_OK, 2},
      {NAVDIR_NEXT, 6, S_FALSE, -1},
      {NAVDIR_PREVIOUS, 3, S_OK, 2},
      {NAVDIR_PREVIOUS, 1, S_FALSE, -1},
      {NAVDIR_FIRSTCHILD, 2, S_FALSE, -1},
      {NAVDIR_NEXT, 7, E_INVALIDARG, -1},
  };
  for (const Step& step : steps) {
    VARIANT end;
    VariantInit(&end);
    EXPECT_EQ(object->accNavigate(step.direction, Child(step.from), &end), step.result)
        << step.direction << " from " << step.from;
    EXPECT_EQ(end.vt == VT_I4 ? end.lVal : -1, step.to) << step.direction << " from " << step.from;
  }
}

struct Event {
  DWORD event;
  long child;
  bool operator==(const Event&) const = default;
};
std::vector<Event> events;
// What a screen reader reads of a value change, at the event.
std::vector<std::wstring> valuesAtEvents;
HWND watched = nullptr;
void CALLBACK RecordEvent(HWINEVENTHOOK, DWORD event, HWND window, LONG object, LONG child, DWORD, DWORD) {
  if (window != watched || object != OBJID_CLIENT) return;
  events.push_back({event, child});
  if (event != EVENT_OBJECT_VALUECHANGE) return;
  IAccessible* source = nullptr;
  VARIANT element{};
  if (AccessibleObjectFromEvent(window, object, child, &source, &element) != S_OK) {
    valuesAtEvents.push_back(L"(no object)");
    return;
  }
  valuesAtEvents.push_back(Answer([&](BSTR* text) { return source->get_accValue(element, text); }));
  source->Release();
}

TEST_F(Accessibility, DefaultActionClicksAndEventsFollowFocusAndValue) {
  clicks = 0;
  button.BindEvent(kMsgClick, &CountClick);
  ASSERT_EQ(object->accDoDefaultAction(Child(1)), S_OK);
  EXPECT_TRUE(test::PumpUntil([] { return clicks == 1; }, 5000)) << "the default action clicks the button";
  EXPECT_NE(object->accDoDefaultAction(Child(5)), S_OK) << "a progress bar has no default action";

  events.clear();
  watched = window.hwnd();
  HWINEVENTHOOK hook = SetWinEventHook(EVENT_OBJECT_FOCUS, EVENT_OBJECT_VALUECHANGE, nullptr, &RecordEvent,
                                       GetCurrentProcessId(), 0, WINEVENT_OUTOFCONTEXT);
  ASSERT_NE(hook, nullptr);
  host.SetFocusControl(&path, true);
  bar.Position(60);
  bar.Position(80);
  const std::vector<Event> expected = {
      {EVENT_OBJECT_FOCUS, 2}, {EVENT_OBJECT_VALUECHANGE, 5}, {EVENT_OBJECT_VALUECHANGE, 5}};
  EXPECT_TRUE(test::PumpUntil([&] { return events.size() >= expected.size(); }, 5000));
  UnhookWinEvent(hook);
  EXPECT_EQ(events, expected);
}

TEST_F(Accessibility, ControlsThatAppearOrGoAndStatusTextAreAnnounced) {
  events.clear();
  watched = window.hwnd();
  HWINEVENTHOOK hook = SetWinEventHook(EVENT_OBJECT_SHOW, EVENT_OBJECT_VALUECHANGE, nullptr, &RecordEvent,
                                       GetCurrentProcessId(), 0, WINEVENT_OUTOFCONTEXT);
  ASSERT_NE(hook, nullptr);
  // Children in tab order: button 1, path 2, status 3, secret 4, bar 5, title 6.
  valuesAtEvents.clear();
  title.Visible(0);  // announced with the place it had
  title.Visible(1);
  // The status box's new line is its value, read as the event arrives; its
  // name stays its label.
  status.Text("done");
  EXPECT_TRUE(test::PumpUntil([&] { return valuesAtEvents.size() == 1; }, 5000));
  path.Text("E:\\");  // editable: a value change too
  EXPECT_TRUE(test::PumpUntil([&] { return valuesAtEvents.size() == 2; }, 5000));
  status.Destroy();  // goes from place 3
  Label added;
  ASSERT_NE(added.Create(window.hwnd(), 10, 230, 100, 20, "Added"), nullptr);
  const std::vector<Event> expected = {{EVENT_OBJECT_HIDE, 6},        {EVENT_OBJECT_SHOW, 6},
                                       {EVENT_OBJECT_VALUECHANGE, 3}, {EVENT_OBJECT_VALUECHANGE, 2},
                                       {EVENT_OBJECT_HIDE, 3},        {EVENT_OBJECT_SHOW, 6}};
  EXPECT_TRUE(test::PumpUntil([&] { return events.size() >= expected.size(); }, 5000));
  UnhookWinEvent(hook);
  EXPECT_EQ(events, expected);
  EXPECT_EQ(valuesAtEvents, (std::vector<std::wstring>{L"done", L"E:\\"}));
}

}  // namespace
}  // namespace ui
