// The start window as a screen reader reads it (oleacc), and the install
// button's default action starting the installation.
#include <gtest/gtest.h>

#include <oleacc.h>

#include <string>
#include <vector>

#include "engine/core/TextConversion.h"
#include "engine/testing/AccessibleChild.h"
#include "installer/FileSystem.h"
#include "installer/InstallClosing.h"
#include "installer/Installation.h"
#include "installer/InstallerState.h"
#include "installer/ProcessObjects.h"
#include "installer/StartWindow.h"
#include "installer/tests/Pumping.h"
#include "installer/tests/ScratchFolder.h"

namespace setup {
namespace {

VARIANT Child(long id) { return ui::test::AccessibleChild(id); }

std::wstring Name(IAccessible* object, long id) {
  BSTR text = nullptr;
  if (object->get_accName(Child(id), &text) != S_OK || text == nullptr) return L"";
  std::wstring name(text);
  SysFreeString(text);
  return name;
}

class StartWindowAccessibility : public testing::Test {
 protected:
  void SetUp() override {
    ConstructProcessObjects();
    window = LoadStartWindow();
    ASSERT_NE(window, nullptr);
    ASSERT_EQ(AccessibleObjectFromWindow(window, OBJID_CLIENT, IID_IAccessible, reinterpret_cast<void**>(&object)),
              S_OK);
  }
  void TearDown() override {
    if (object != nullptr) object->Release();
    if (IsWindow(window)) DestroyWindow(window);
    JoinCompletionWorker(10000);
    test::Pump();
    ReleaseProcessObjects();
    ResetInstallClosing();
    backgroundPhase = 0;
  }
  // The children's names, in order.
  std::vector<std::wstring> Names() {
    long count = 0;
    object->get_accChildCount(&count);
    std::vector<std::wstring> names;
    for (long id = 1; id <= count; ++id) names.push_back(Name(object, id));
    return names;
  }
  long IdOf(const std::wstring& name) {
    const std::vector<std::wstring> names = Names();
    for (std::size_t i = 0; i < names.size(); ++i) {
      if (names[i] == name) return static_cast<long>(i + 1);
    }
    return 0;
  }

  HWND window = nullptr;
  IAccessible* object = nullptr;
};

TEST_F(StartWindowAccessibility, EveryControlHasItsChineseName) {
  // Close, minimise, the path box, the install button.
  EXPECT_EQ(Names(), (std::vector<std::wstring>{L"\u5173\u95ED", L"\u6700\u5C0F\u5316", L"\u5B89\u88C5\u4F4D\u7F6E",
                                                L"\u7ACB\u5373\u5B89\u88C5"}));
  BSTR value = nullptr;
  ASSERT_EQ(object->get_accValue(Child(3), &value), S_OK);
  EXPECT_EQ(std::wstring(value), L"D:\\Nimbo\\");
  SysFreeString(value);
}

TEST_F(StartWindowAccessibility, TheInstallButtonsDefaultActionInstalls) {
  test::ScratchFolder scratch("nimbo-accessible");
  const std::string& folder = scratch.path();
  pathBox->Text(folder);
  const long button = IdOf(L"\u7ACB\u5373\u5B89\u88C5");
  ASSERT_NE(button, 0);
  ASSERT_EQ(object->accDoDefaultAction(Child(button)), S_OK);
  // The tree then holds the progress bar and the status box by their names.
  EXPECT_TRUE(test::PumpEachUntil([&] { return IdOf(L"\u5B89\u88C5\u8FDB\u5EA6") != 0; }, 20000)) << "the progress bar";
  EXPECT_NE(IdOf(L"\u5B89\u88C5\u72B6\u6001"), 0) << "the status box";
  ASSERT_TRUE(test::PumpEachUntil([] { return Installation::Current().CurrentProgress().extracted; }, 20000))
      << "the installation ran";
  EXPECT_TRUE(FileExists(folder + "Nimbo.exe"));
  // Closed before the bar's end: nothing registered or started, and the
  // files go again (see the closing tests).
  SendMessageW(window, WM_CLOSE, 0, 0);
  JoinCompletionWorker(10000);
  EXPECT_FALSE(FileExists(folder + "Nimbo.exe"));
}

}  // namespace
}  // namespace setup
