#include "product/uninstaller/Switches.h"

#include <gtest/gtest.h>

#include <vector>

#include "engine/core/Win32.h"
#include <shellapi.h>

namespace uninstall {
namespace {

// The arguments Windows reads from a command line, program name included.
std::vector<std::wstring> Split(const std::wstring& commandLine) {
  int count = 0;
  wchar_t** list = CommandLineToArgvW(commandLine.c_str(), &count);
  std::vector<std::wstring> arguments(list, list + count);
  LocalFree(list);
  return arguments;
}

TEST(Switches, UsersGiveAtMostSilent) {
  const struct {
    std::vector<std::wstring> arguments;
    bool accepted;
    bool silent;
  } cases[] = {
      {{}, true, false},
      {{L"/S"}, true, true},
      {{L"/s"}, true, true},
      {{L"/S", L"/S"}, false, false},
      {{L"/silent"}, false, false},
      {{L"-S"}, false, false},
      {{L"D:\\Nimbo"}, false, false},
  };
  for (const auto& c : cases) {
    std::wstring error;
    const std::optional<Switches> switches = ParseSwitches(c.arguments, &error);
    ASSERT_EQ(switches.has_value(), c.accepted) << c.arguments.size() << L" " << error;
    if (!switches) {
      EXPECT_FALSE(error.empty());
      continue;
    }
    EXPECT_EQ(switches->silent, c.silent);
    EXPECT_FALSE(switches->IsCopy());
  }
}

TEST(Switches, TheCopyNeedsBothItsFolderAndAValidHandle) {
  const struct {
    std::vector<std::wstring> arguments;
    bool accepted;
  } cases[] = {
      {{L"/REMOVEFROM=D:\\Nimbo", L"/WAITFOR=124", L"/REPORTTO=77"}, true},
      {{L"/removefrom=D:\\Nimbo", L"/waitfor=124", L"/reportto=77", L"/S"}, true},
      {{L"/REMOVEFROM=D:\\Nimbo", L"/WAITFOR=124"}, false},
      {{L"/REMOVEFROM=D:\\Nimbo", L"/REPORTTO=77"}, false},
      {{L"/REMOVEFROM=D:\\Nimbo", L"/WAITFOR=124", L"/REPORTTO=0"}, false},
      {{L"/REMOVEFROM=D:\\Nimbo", L"/WAITFOR=124", L"/REPORTTO=7", L"/REPORTTO=8"}, false},
      {{L"/REMOVEFROM=D:\\Nimbo"}, false},
      {{L"/WAITFOR=124"}, false},
      {{L"/REMOVEFROM=", L"/WAITFOR=124"}, false},
      {{L"/REMOVEFROM=D:\\Nimbo", L"/WAITFOR=0"}, false},
      {{L"/REMOVEFROM=D:\\Nimbo", L"/WAITFOR=12a"}, false},
      {{L"/REMOVEFROM=D:\\Nimbo", L"/WAITFOR=4294967296"}, false},
      {{L"/REMOVEFROM=D:\\Nimbo", L"/WAITFOR=4", L"/WAITFOR=8"}, false},
      {{L"/REMOVEFROM=D:\\A", L"/REMOVEFROM=D:\\B", L"/WAITFOR=8"}, false},
  };
  for (const auto& c : cases) {
    std::wstring error;
    const std::optional<Switches> switches = ParseSwitches(c.arguments, &error);
    ASSERT_EQ(switches.has_value(), c.accepted) << c.arguments.back() << L" " << error;
    if (switches) {
      EXPECT_TRUE(switches->IsCopy());
      EXPECT_EQ(switches->removeFrom, L"D:\\Nimbo");
      EXPECT_EQ(switches->waitFor, 124u);
      EXPECT_EQ(switches->reportTo, 77u);
    }
  }
}

TEST(Switches, QuotingFollowsTheWindowsRules) {
  const struct {
    const wchar_t* argument;
    const wchar_t* quoted;
  } cases[] = {
      {L"plain", L"plain"},
      {L"D:\\Nimbo\\", L"D:\\Nimbo\\"},
      {L"", L"\"\""},
      {L"two words", L"\"two words\""},
      {L"D:\\a b\\", L"\"D:\\a b\\\\\""},
      {L"say \"hi\"", L"\"say \\\"hi\\\"\""},
      {L"a\\\"b", L"\"a\\\\\\\"b\""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(QuoteArgument(c.argument), c.quoted) << c.argument;
    // And Windows reads the quoted form back as the argument.
    const std::vector<std::wstring> read = Split(L"program.exe " + QuoteArgument(c.argument));
    ASSERT_EQ(read.size(), 2u) << c.argument;
    EXPECT_EQ(read[1], c.argument);
  }
}

TEST(Switches, TheCopysCommandLineReadsBackAsItsSwitches) {
  const std::wstring program = L"C:\\users\\测 试\\Temp\\Nimbo-uninstall-0f3c\\uninstall.exe";
  const std::wstring folder = L"D:\\产品 测试\\Nimbo \"1\"";
  for (bool silent : {false, true}) {
    const std::vector<std::wstring> read = Split(CopyCommandLine(program, folder, 1236, 1240, silent));
    ASSERT_FALSE(read.empty());
    EXPECT_EQ(read[0], program);
    std::wstring error;
    const std::optional<Switches> switches =
        ParseSwitches(std::vector<std::wstring>(read.begin() + 1, read.end()), &error);
    ASSERT_TRUE(switches) << error;
    EXPECT_EQ(switches->removeFrom, folder);
    EXPECT_EQ(switches->waitFor, 1236u);
    EXPECT_EQ(switches->reportTo, 1240u);
    EXPECT_EQ(switches->silent, silent);
  }
}

}  // namespace
}  // namespace uninstall
