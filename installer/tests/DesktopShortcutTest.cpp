#include "installer/DesktopShortcut.h"

#include <gtest/gtest.h>
#include <objbase.h>
#include <shobjidl.h>

#include "engine/core/TextConversion.h"
#include "installer/InstallClosing.h"
#include "installer/Installation.h"
#include "installer/InstallerState.h"

namespace setup {
namespace {

bool Exists(const std::string& path) {
  return GetFileAttributesW(ui::AnsiToWide(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

struct LinkContents {
  std::wstring target;
  std::wstring description;
  int showCommand = -1;
  std::wstring arguments;
};

LinkContents ReadLink(const std::string& path) {
  LinkContents contents;
  IShellLinkW* link = nullptr;
  EXPECT_TRUE(SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                         reinterpret_cast<void**>(&link))));
  if (link == nullptr) return contents;
  IPersistFile* file = nullptr;
  link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file));
  if (file != nullptr && SUCCEEDED(file->Load(ui::AnsiToWide(path).c_str(), STGM_READ))) {
    wchar_t buffer[MAX_PATH] = {};
    link->GetPath(buffer, MAX_PATH, nullptr, SLGP_RAWPATH);
    contents.target = buffer;
    buffer[0] = 0;
    link->GetDescription(buffer, MAX_PATH);
    contents.description = buffer;
    buffer[0] = 0;
    link->GetArguments(buffer, MAX_PATH);
    contents.arguments = buffer;
    link->GetShowCmd(&contents.showCommand);
  }
  if (file != nullptr) file->Release();
  link->Release();
  return contents;
}

// A product folder in the temp folder, with or without its program.
class DesktopShortcutTest : public testing::Test {
 protected:
  void SetUp() override {
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    folder_ = ui::WideToAnsi(temp) + "nimbo-shortcut-test\\";
    CreateDirectoryW(ui::AnsiToWide(folder_).c_str(), nullptr);
    linkPath_ = DesktopShortcutPath();
    ASSERT_FALSE(linkPath_.empty());
    DeleteFileW(ui::AnsiToWide(linkPath_).c_str());
  }

  void TearDown() override {
    DeleteFileW(ui::AnsiToWide(linkPath_).c_str());
    DeleteFileW(ui::AnsiToWide(folder_ + "Nimbo.exe").c_str());
    RemoveDirectoryW(ui::AnsiToWide(folder_).c_str());
    Installation::Current().Reset();
  }

  // The window's close as the program handles it: the request reaches the
  // host's message hook, then, after the close effect, the close query.
  static void CloseWindow() {
    CancelInstallationOnClose(nullptr, WM_CLOSE, 0, 0);
    OnStartWindowCloseQuery();
  }

  void PutProgram() {
    HANDLE file = CreateFileW(ui::AnsiToWide(folder_ + "Nimbo.exe").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    CloseHandle(file);
  }

  std::string folder_;
  std::string linkPath_;
};

TEST_F(DesktopShortcutTest, ShortcutFileIsNimboLnkOnTheDesktop) {
  EXPECT_NE(linkPath_.find("\\Desktop\\"), std::string::npos) << linkPath_;
  EXPECT_TRUE(linkPath_.ends_with("\\Nimbo.lnk")) << linkPath_;
}

TEST_F(DesktopShortcutTest, InstalledProductGetsAShortcutToItsProgram) {
  PutProgram();
  // An installation into the folder that was committed.
  Installation& installation = Installation::Current();
  installation.Start();
  installation.SetFolder(ui::AnsiToWide(folder_));
  ASSERT_TRUE(installation.CommitUnlessClosed([] { return true; }));
  CloseWindow();

  ASSERT_TRUE(Exists(linkPath_));
  const LinkContents link = ReadLink(linkPath_);
  EXPECT_EQ(link.target, ui::AnsiToWide(folder_ + "Nimbo.exe"));
  EXPECT_EQ(link.description, L"Nimbo - \u661F\u6865\u4E91\u5E06");  // 星桥云帆
  // The shortcut asks for SW_SHOW; the .lnk format can only store normal,
  // maximised or minimised and keeps SW_SHOW as normal.
  EXPECT_EQ(link.showCommand, SW_SHOWNORMAL);
  EXPECT_EQ(link.arguments, L"");
}

TEST_F(DesktopShortcutTest, NothingInstalledMeansNoShortcut) {
  // Before an installation: no folder at all.
  CloseWindow();
  EXPECT_FALSE(Exists(linkPath_));

  // An installation that did not get to its commit, even with the program
  // on disk (closed while the bar ran).
  Installation::Current().Reset();
  PutProgram();
  Installation::Current().Start();
  Installation::Current().SetFolder(ui::AnsiToWide(folder_));
  CloseWindow();
  EXPECT_FALSE(Exists(linkPath_));
  EXPECT_FALSE(Installation::Current().CommitUnlessClosed([] { return true; })) << "nothing commits after a close";
}

}  // namespace
}  // namespace setup
