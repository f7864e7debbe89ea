#include "product/uninstaller/PayloadPlan.h"

#include <gtest/gtest.h>

#include "product/PayloadEntries.h"

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

TEST(PayloadPlan, EntriesThatStayInsideTheFolderAreSafe) {
  const wchar_t* const safe[] = {L"Nimbo.exe", L"config/", L"config/settings.ini", L"插件/好運/運勢.ini",
                                 L"docs/read me.txt", L"data/.cache/", L"a.b.c", L"console.txt", L"COM0", L"LPT10"};
  for (const wchar_t* entry : safe) EXPECT_EQ(EntryProblem(entry), L"") << entry;
}

TEST(PayloadPlan, EntriesThatCouldLeaveTheFolderOrAliasAnotherNameAreUnsafe) {
  const struct {
    const wchar_t* entry;
    const wchar_t* problem;
  } cases[] = {
      {L"", L"empty"},
      {L"/etc/passwd", L"absolute"},
      {L"//server/share/x", L"absolute"},
      {L"../x", L"a \".\" or \"..\" level"},
      {L"config/../../x", L"a \".\" or \"..\" level"},
      {L"config/./x", L"a \".\" or \"..\" level"},
      {L"config//x", L"an empty level"},
      {L"C:/Windows/x", L"a character Windows does not allow"},
      {L"config\\x", L"a character Windows does not allow"},
      {L"a*b", L"a character Windows does not allow"},
      {L"tab\tname", L"a character Windows does not allow"},
      {L"config./x", L"a level ending in a dot or space"},
      {L"config /x", L"a level ending in a dot or space"},
      {L"NUL", L"a device name"},
      {L"docs/con.txt", L"a device name"},
      {L"com1", L"a device name"},
      {L"logs/LPT9.log", L"a device name"},
  };
  for (const auto& c : cases) EXPECT_EQ(EntryProblem(c.entry), c.problem) << c.entry;
}

TEST(PayloadPlan, AListIsRefusedForItsFirstProblem) {
  const wchar_t* const twice[] = {L"config/", L"config/a.ini", L"Config/"};
  EXPECT_EQ(ListProblem(twice), L"Config/: listed twice");
  const wchar_t* const unsafe[] = {L"config/", L"config/../../boot.ini"};
  EXPECT_EQ(ListProblem(unsafe), L"config/../../boot.ini: a \".\" or \"..\" level");
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
