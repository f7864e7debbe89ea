#include "product/uninstaller/PayloadPlan.h"

#include <gtest/gtest.h>

#include "engine/core/TextConversion.h"
#include "engine/core/Win32.h"
#include "product/PayloadEntries.h"
#include "product/record/tests/EntryNameCases.h"

namespace uninstall {
namespace {

TEST(PayloadEntries, TheGeneratedListIsSafeAndMatchesTheArchive) {
  EXPECT_EQ(ListProblem(kPayloadEntries), L"");
  ASSERT_EQ(std::size(kPayloadEntries), 39u);
  EXPECT_STREQ(kPayloadEntries[0], L"Nimbo.exe");
  EXPECT_STREQ(kPayloadEntries[1], L"uninstall.exe");
  // 插件/好運/ (運 is 0xDF 0x5C in code page 936) and the last entry.
  EXPECT_STREQ(kPayloadEntries[32], L"\u63d2\u4ef6/\u597d\u904b/");
  EXPECT_STREQ(kPayloadEntries[38], L"logs/");
}

TEST(PayloadPlan, TheRecordsEntriesFollowTheRulesTheInstallerFollows) {
  for (const record::test::EntryNameCase& c : record::test::kEntryNameCases) {
    const std::wstring entry = ui::AnsiToWide(c.utf8, CP_UTF8);
    const std::string_view text = record::NameProblemText(c.problem);
    const std::wstring expected =
        c.problem == record::NameProblem::kNone ? L"" : std::wstring(text.begin(), text.end());
    EXPECT_EQ(EntryProblem(entry), expected) << c.utf8;
  }
}

TEST(PayloadPlan, AListIsRefusedForItsFirstProblem) {
  const wchar_t* const twice[] = {L"config/", L"config/a.ini", L"Config/"};
  EXPECT_EQ(ListProblem(twice), L"Config/: listed twice");
  const wchar_t* const unsafe[] = {L"config/", L"config/../../boot.ini"};
  EXPECT_EQ(ListProblem(unsafe), L"config/../../boot.ini: a \"..\" segment");
  // Either separator names the same item.
  const wchar_t* const separators[] = {L"config/", L"config/a.ini", L"config\\a.ini"};
  EXPECT_EQ(ListProblem(separators), L"config\\a.ini: listed twice");
  EXPECT_EQ(ListProblem({}), L"the list is empty");
}

TEST(PayloadPlan, FilesGoFirstThenFoldersDeepestFirst) {
  const wchar_t* const entries[] = {L"a/", L"a/b/", L"a/b/f.txt", L"g.txt", L"a/c/", L"z/", L"a/b/d/"};
  const std::vector<RemovalStep> steps = RemovalOrder(entries);
  const std::vector<std::pair<std::wstring, bool>> expected = {
      {L"a\\b\\f.txt", false}, {L"g.txt", false}, {L"a\\b\\d", true}, {L"a\\b", true},
      {L"a\\c", true},         {L"a", true},      {L"z", true}};
  ASSERT_EQ(steps.size(), expected.size());
  for (std::size_t i = 0; i < steps.size(); ++i) {
    EXPECT_EQ(steps[i].path, expected[i].first) << i;
    EXPECT_EQ(steps[i].folder, expected[i].second) << i;
  }
}

TEST(PayloadPlan, DriveAndShareRootsAreRefused) {
  const struct {
    const wchar_t* folder;
    FolderVerdict verdict;
  } cases[] = {
      {L"D:\\Nimbo", FolderVerdict::kUsable},
      {L"D:\\Nimbo\\", FolderVerdict::kUsable},
      {L"d:/产品 测试/Nimbo", FolderVerdict::kUsable},
      {L"\\\\server\\share\\Nimbo", FolderVerdict::kUsable},
      {L"\\\\?\\D:\\Nimbo", FolderVerdict::kUsable},
      {L"\\\\?\\UNC\\server\\share\\Nimbo", FolderVerdict::kUsable},
      {L"D:\\", FolderVerdict::kRoot},
      {L"D:", FolderVerdict::kRoot},
      {L"c:/", FolderVerdict::kRoot},
      {L"\\\\server\\share", FolderVerdict::kRoot},
      {L"\\\\server\\share\\", FolderVerdict::kRoot},
      {L"\\\\?\\D:\\", FolderVerdict::kRoot},
      {L"\\\\?\\UNC\\server\\share", FolderVerdict::kRoot},
      {L"", FolderVerdict::kInvalid},
      {L"Nimbo", FolderVerdict::kInvalid},
      {L"\\Nimbo", FolderVerdict::kInvalid},
      {L"D:Nimbo", FolderVerdict::kInvalid},
      {L"D:\\a\\..\\b", FolderVerdict::kInvalid},
      {L"D:\\a\\.\\b", FolderVerdict::kInvalid},
      {L"D:\\a\\\\b", FolderVerdict::kInvalid},
      {L"D:\\a|b", FolderVerdict::kInvalid},
      {L"\\\\server", FolderVerdict::kInvalid},
      {L"\\\\.\\PhysicalDrive0", FolderVerdict::kInvalid},
      {L"1:\\Nimbo", FolderVerdict::kInvalid},
  };
  for (const auto& c : cases) EXPECT_EQ(ClassifyFolder(c.folder), c.verdict) << c.folder;
}

TEST(PayloadPlan, AnUninstallerAtTheTopOfADriveIsInItsRoot) {
  EXPECT_EQ(FolderOf(L"D:\\Nimbo\\uninstall.exe"), L"D:\\Nimbo");
  EXPECT_EQ(FolderOf(L"C:\\uninstall.exe"), L"C:");
  EXPECT_EQ(ClassifyFolder(FolderOf(L"C:\\uninstall.exe")), FolderVerdict::kRoot);
  EXPECT_EQ(FolderOf(L"uninstall.exe"), L"");
}

}  // namespace
}  // namespace uninstall
