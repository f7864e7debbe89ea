#include "installer/archive/TargetPath.h"

#include <gtest/gtest.h>

#include <string>

namespace setup {
namespace {

TEST(TargetPath, OnlyAFullPathBelowADriveOrShareTopInstalls) {
  struct Case {
    const wchar_t* typed;
    const wchar_t* full;
    TargetProblem problem;
  };
  const Case cases[] = {
      {L"D:\\Nimbo\\", L"D:\\Nimbo\\", TargetProblem::kNone},
      {L"d:/产品 安装", L"d:\\产品 安装\\", TargetProblem::kNone},
      {L"\\\\server\\share\\Nimbo", L"\\\\server\\share\\Nimbo\\", TargetProblem::kNone},
      // Relative to the current folder, drive or process.
      {L"Nimbo", L"Z:\\work\\Nimbo\\", TargetProblem::kRelative},
      {L"D:Nimbo", L"D:\\work\\Nimbo\\", TargetProblem::kRelative},
      {L"\\Nimbo", L"Z:\\Nimbo\\", TargetProblem::kRelative},
      {L"..\\Nimbo", L"Z:\\Nimbo\\", TargetProblem::kRelative},
      {L"\\\\?\\D:\\Nimbo", L"\\\\?\\D:\\Nimbo\\", TargetProblem::kRelative},
      {L"\\\\.\\pipe\\x", L"\\\\.\\pipe\\x\\", TargetProblem::kRelative},
      {L"\\\\server", L"\\\\server\\", TargetProblem::kRelative},
      // The top of a drive or share, however written.
      {L"D:\\", L"D:\\", TargetProblem::kDriveRoot},
      {L"D:\\\\", L"D:\\", TargetProblem::kDriveRoot},
      {L"D:\\Nimbo\\..", L"D:\\", TargetProblem::kDriveRoot},
      {L"\\\\server\\share\\", L"\\\\server\\share\\", TargetProblem::kDriveRoot},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(CheckTargetPath(c.typed, c.full, 20), c.problem) << std::wstring(c.typed).size() << " " << c.full;
  }
}

TEST(TargetPath, TheDeepestEntryMustFitWithinAFolderPathsLength) {
  // 247 units in all: "D:\" and 234 letters and a backslash is 238 units;
  // an entry path of 9 fits exactly, one of 10 does not.
  const std::wstring folder = L"D:\\" + std::wstring(234, L'a') + L"\\";
  ASSERT_EQ(folder.size(), 238u);
  EXPECT_EQ(CheckTargetPath(folder, folder, 9), TargetProblem::kNone);
  EXPECT_EQ(CheckTargetPath(folder, folder, 10), TargetProblem::kTooLong);
  EXPECT_EQ(CheckTargetPath(L"D:\\Nimbo\\", L"D:\\Nimbo\\", 238), TargetProblem::kNone);
  EXPECT_EQ(CheckTargetPath(L"D:\\Nimbo\\", L"D:\\Nimbo\\", 239), TargetProblem::kTooLong);
}

}  // namespace
}  // namespace setup
