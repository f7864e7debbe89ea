#include "installer/CommandLine.h"

#include <gtest/gtest.h>

namespace setup {
namespace {

TEST(CommandLine, NothingAsksForTheWindowAndTheDefaultFolder) {
  const SetupOptions options = ParseSetupArguments("   ");
  EXPECT_FALSE(options.silent);
  EXPECT_FALSE(options.usage);
  EXPECT_FALSE(options.folder.has_value());
  EXPECT_FALSE(options.logFile.has_value());
  EXPECT_EQ(options.error, "");
}

TEST(CommandLine, FolderIsTheRestOfTheLineSpacesAndAll) {
  SetupOptions options = ParseSetupArguments("/S /D=D:\\Silent Install\\ ");
  EXPECT_TRUE(options.silent);
  EXPECT_EQ(options.folder, "D:\\Silent Install\\");
  EXPECT_EQ(options.error, "");

  options = ParseSetupArguments("/d=\"E:\\Quoted Folder\"");
  EXPECT_EQ(options.folder, "E:\\Quoted Folder") << "quotes around the whole folder are dropped";
  // As a program starting the installer quotes it: the whole switch, the
  // backslash before the closing quote doubled.
  options = ParseSetupArguments("/S \"/D=D:\\Silent Install\\\\\"");
  EXPECT_EQ(options.folder, "D:\\Silent Install\\");
  options = ParseSetupArguments("\"/D=D:\\Silent Install\"");
  EXPECT_EQ(options.folder, "D:\\Silent Install");
  options = ParseSetupArguments("/D=C:\\a /S");
  EXPECT_EQ(options.folder, "C:\\a /S") << "nothing after /D= is a switch";
  EXPECT_FALSE(options.silent);
  // Code page 936 bytes pass through: "D:\静默"
  options = ParseSetupArguments("/D=D:\\\xBE\xB2\xC4\xAC");
  EXPECT_EQ(options.folder, "D:\\\xBE\xB2\xC4\xAC");
}

TEST(CommandLine, SwitchesAreCaseBlindAndLogMayBeQuoted) {
  const SetupOptions options = ParseSetupArguments("/s /launch /log=\"C:\\Log Files\\setup.log\" /D=C:\\P");
  EXPECT_TRUE(options.silent);
  EXPECT_TRUE(options.launch);
  EXPECT_EQ(options.logFile, "C:\\Log Files\\setup.log");
  EXPECT_EQ(options.folder, "C:\\P");
  EXPECT_EQ(options.error, "");
  EXPECT_TRUE(ParseSetupArguments("/?").usage);
}

TEST(CommandLine, WhatIsNotUnderstoodIsReported) {
  for (const char* line : {"/X", "/Silent", "S", "/LOG=", "/D=", "/D=  ", "/S /LAUNCHER", "/LAUNCH"}) {
    SCOPED_TRACE(line);
    EXPECT_NE(ParseSetupArguments(line).error, "");
  }
  EXPECT_NE(ParseSetupArguments("/S /Q").error.find("/Q"), std::string::npos) << "the switch is named";
}

TEST(CommandLine, ArgumentsFollowTheProgramQuotedOrNot) {
  EXPECT_EQ(ArgumentsOf("\"C:\\Program Files\\NimboSetup.exe\"  /S /D=C:\\x y"), "/S /D=C:\\x y");
  EXPECT_EQ(ArgumentsOf("NimboSetup.exe /S"), "/S");
  EXPECT_EQ(ArgumentsOf("NimboSetup.exe"), "");
  EXPECT_EQ(ArgumentsOf(""), "");
}

}  // namespace
}  // namespace setup
