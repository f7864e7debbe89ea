#include "product/uninstaller/FolderRemoval.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/core/Win32.h"

namespace uninstall {
namespace {

// A payload like the product's: files and folders on three levels, Chinese
// names among them.
const wchar_t* const kPayload[] = {
    L"Nimbo.exe", L"config/",     L"config/settings.ini", L"插件/", L"插件/好運/", L"插件/好運/運勢.ini",
    L"data/",     L"data/cache/", L"data/history.dat",    L"logs/"};
constexpr int kPayloadItems = 10;

bool Exists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

bool IsFolder(const std::wstring& path) {
  const DWORD attributes = GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

void WriteText(const std::wstring& path, const char* text) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE) << path;
  DWORD written = 0;
  WriteFile(file, text, static_cast<DWORD>(strlen(text)), &written, nullptr);
  CloseHandle(file);
}

void RemoveTree(const std::wstring& path) {
  const DWORD attributes = GetFileAttributesW(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return;
  SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL | (attributes & FILE_ATTRIBUTE_DIRECTORY));
  if ((attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
    DeleteFileW(path.c_str());
    return;
  }
  if ((attributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0) {
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((path + L"\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
      do {
        const std::wstring name = found.cFileName;
        if (name != L"." && name != L"..") RemoveTree(path + L"\\" + name);
      } while (FindNextFileW(search, &found));
      FindClose(search);
    }
  }
  RemoveDirectoryW(path.c_str());
}

// A scratch folder in the temporary folder with the product folder
// "Nimbo 产品" and a sibling folder "outside" holding a file of its own.
class FolderRemoval : public testing::Test {
 protected:
  void SetUp() override {
    wchar_t temporary[MAX_PATH + 1] = {};
    GetTempPathW(MAX_PATH + 1, temporary);
    const testing::TestInfo* test = testing::UnitTest::GetInstance()->current_test_info();
    scratch = std::wstring(temporary) + L"product-tests-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
              std::wstring(test->name(), test->name() + strlen(test->name()));
    RemoveTree(scratch);
    ASSERT_TRUE(CreateDirectoryW(scratch.c_str(), nullptr));
    folder = scratch + L"\\Nimbo 产品";
    outside = scratch + L"\\outside";
    ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryW(outside.c_str(), nullptr));
    WriteText(outside + L"\\settings.ini", "not the product's");
  }
  void TearDown() override {
    EXPECT_TRUE(Exists(outside + L"\\settings.ini")) << "a file outside the product folder was touched";
    RemoveTree(scratch);
  }

  std::wstring At(const std::wstring& relative) const { return folder + L"\\" + relative; }

  // Installs the payload, except the entries given.
  void Install(const std::vector<std::wstring>& leaveOut = {}) {
    for (const wchar_t* entry : kPayload) {
      std::wstring relative = entry;
      for (wchar_t& ch : relative) {
        if (ch == L'/') ch = L'\\';
      }
      const bool isFolder = relative.back() == L'\\';
      if (isFolder) relative.pop_back();
      if (std::find(leaveOut.begin(), leaveOut.end(), relative) != leaveOut.end()) continue;
      if (isFolder) {
        ASSERT_TRUE(CreateDirectoryW(At(relative).c_str(), nullptr)) << relative;
      } else {
        WriteText(At(relative), "payload");
      }
    }
  }

  static std::vector<RemovalStep> Steps() { return RemovalOrder(kPayload); }

  void ExpectPayloadGone() {
    for (const RemovalStep& step : Steps()) EXPECT_FALSE(Exists(At(step.path))) << step.path;
  }

  std::wstring scratch, folder, outside;
};

TEST_F(FolderRemoval, AnInstalledPayloadGoesCompletelyAndTheFolderStays) {
  Install();
  const RemovalReport report = RemovePayload(folder, Steps());
  EXPECT_EQ(report.removed, kPayloadItems);
  EXPECT_TRUE(report.Complete());
  EXPECT_TRUE(report.kept.empty());
  ExpectPayloadGone();
  EXPECT_TRUE(IsFolder(folder));
}

TEST_F(FolderRemoval, UserFilesStayAndSoDoTheFoldersHoldingThem) {
  Install();
  WriteText(At(L"config\\mine.ini"), "user");
  WriteText(At(L"插件\\好運\\笔记.txt"), "user");
  WriteText(At(L"extra.txt"), "user");
  const RemovalReport report = RemovePayload(folder, Steps());
  EXPECT_TRUE(report.Complete());
  EXPECT_EQ(report.kept, (std::vector<std::wstring>{L"插件\\好運", L"config", L"插件"}));
  EXPECT_EQ(report.removed, kPayloadItems - 3);
  for (const wchar_t* user : {L"config\\mine.ini", L"插件\\好運\\笔记.txt", L"extra.txt"}) {
    EXPECT_TRUE(Exists(At(user))) << user;
  }
  for (const wchar_t* gone : {L"Nimbo.exe", L"config\\settings.ini", L"插件\\好運\\運勢.ini", L"data", L"logs"}) {
    EXPECT_FALSE(Exists(At(gone))) << gone;
  }
}

TEST_F(FolderRemoval, ReadOnlyItemsAreRemovedToo) {
  Install();
  for (const wchar_t* item : {L"Nimbo.exe", L"config\\settings.ini", L"data\\cache"}) {
    const DWORD attributes = GetFileAttributesW(At(item).c_str());
    ASSERT_TRUE(SetFileAttributesW(At(item).c_str(), attributes | FILE_ATTRIBUTE_READONLY)) << item;
  }
  const RemovalReport report = RemovePayload(folder, Steps());
  EXPECT_TRUE(report.Complete());
  EXPECT_EQ(report.removed, kPayloadItems);
  ExpectPayloadGone();
}

TEST_F(FolderRemoval, ItemsTheUserReplacedAreLeftAlone) {
  Install({L"data\\history.dat", L"logs", L"插件\\好運\\運勢.ini", L"插件\\好運"});
  // A folder where the payload had a file, and files where it had folders
  // (one of them the folder of a payload file, which cannot be there now).
  ASSERT_TRUE(CreateDirectoryW(At(L"data\\history.dat").c_str(), nullptr));
  WriteText(At(L"data\\history.dat\\2026.log"), "user");
  WriteText(At(L"logs"), "user");
  WriteText(At(L"插件\\好運"), "user");
  const RemovalReport report = RemovePayload(folder, Steps());
  EXPECT_TRUE(report.Complete());
  EXPECT_EQ(report.kept, (std::vector<std::wstring>{L"data\\history.dat", L"插件\\好運", L"插件", L"data", L"logs"}));
  EXPECT_EQ(report.removed, 4);  // Nimbo.exe, config\settings.ini, data\cache, config
  EXPECT_TRUE(Exists(At(L"data\\history.dat\\2026.log")));
  EXPECT_TRUE(Exists(At(L"logs")));
  EXPECT_TRUE(Exists(At(L"插件\\好運")));
  EXPECT_FALSE(Exists(At(L"data\\cache")));
}

TEST_F(FolderRemoval, ItemsAlreadyGoneAreNeitherRemovedNorFailed) {
  Install({L"Nimbo.exe", L"插件\\好運\\運勢.ini", L"插件\\好運", L"logs"});
  const RemovalReport report = RemovePayload(folder, Steps());
  EXPECT_TRUE(report.Complete());
  EXPECT_TRUE(report.kept.empty());
  EXPECT_EQ(report.removed, kPayloadItems - 4);
  ExpectPayloadGone();
}

TEST_F(FolderRemoval, AFileInUseIsReportedAndTheNextRunFinishes) {
  Install();
  HANDLE inUse = CreateFileW(At(L"config\\settings.ini").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                             FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(inUse, INVALID_HANDLE_VALUE);
  const RemovalReport first = RemovePayload(folder, Steps());
  CloseHandle(inUse);
  EXPECT_EQ(first.failed, std::vector<std::wstring>{L"config\\settings.ini"});
  EXPECT_EQ(first.kept, std::vector<std::wstring>{L"config"});
  EXPECT_TRUE(Exists(At(L"config\\settings.ini")));

  const RemovalReport second = RemovePayload(folder, Steps());
  EXPECT_TRUE(second.Complete());
  EXPECT_EQ(second.removed, 2);  // the file and its folder
  ExpectPayloadGone();
}

TEST_F(FolderRemoval, DeletingWithPatienceGivesUpOnAFileHeldOpenAndTakesItOnceFree) {
  Install();
  const std::wstring program = At(L"Nimbo.exe");
  HANDLE held = CreateFileW(program.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  EXPECT_FALSE(DeleteFileWithPatience(program, 200));
  CloseHandle(held);
  EXPECT_TRUE(DeleteFileWithPatience(program, 0));
  EXPECT_FALSE(Exists(program));
  EXPECT_TRUE(DeleteFileWithPatience(program, 0)) << "a file already gone counts as deleted";
  EXPECT_FALSE(DeleteFileWithPatience(At(L"config"), 0)) << "a folder is not deleted as a file";
  EXPECT_TRUE(IsFolder(At(L"config")));
}

}  // namespace
}  // namespace uninstall
