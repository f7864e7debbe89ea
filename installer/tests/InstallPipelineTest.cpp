// The installation itself under Wine, with the program's own payload and
// with archives made here: what lands in the target, the targets refused
// before anything is written, and that a failed or closed installation
// leaves the target folder and the product's registry key exactly as they
// were, a file the payload replaced and an earlier installation's key
// included.
#include <gtest/gtest.h>

#include <map>
#include <string>

#include "engine/core/TextConversion.h"
#include "installer/FileSystem.h"
#include "installer/InstallPipeline.h"
#include "installer/ProductRegistration.h"
#include "installer/Registry.h"
#include "product/journal/RegistrySnapshot.h"
#include "installer/archive/ByteStreams.h"
#include "installer/archive/tests/TestArchives.h"
#include "installer/tests/ScratchFolder.h"

namespace setup {
namespace {

using test::ReadWholeFile;
using test::ScratchFolder;

// Everything below a folder (ending in '\'): relative path -> attributes
// and bytes (folders end in '\' and have no bytes).
using Snapshot = std::map<std::string, std::string>;
void Walk(const std::string& folder, const std::string& relative, Snapshot& into) {
  WIN32_FIND_DATAW found{};
  HANDLE search = FindFirstFileW(ui::AnsiToWide(folder + relative + "*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return;
  do {
    const std::wstring name = found.cFileName;
    if (name == L"." || name == L"..") continue;
    const std::string path = relative + ui::WideToAnsi(name);
    const std::string attributes = std::to_string(found.dwFileAttributes) + " ";
    if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
      into[path + "\\"] = attributes;
      Walk(folder, path + "\\", into);
    } else {
      into[path] = attributes + ReadWholeFile(folder + path);
    }
  } while (FindNextFileW(search, &found));
  FindClose(search);
}
Snapshot Take(const std::string& folder) {
  Snapshot snapshot;
  Walk(folder, "", snapshot);
  return snapshot;
}

// The product's key: value name -> type and bytes; empty when there is none.
std::map<std::wstring, std::string> UninstallKey() {
  std::map<std::wstring, std::string> values;
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, ui::AnsiToWide(kUninstallKey).c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) {
    return values;
  }
  for (DWORD index = 0;; ++index) {
    wchar_t name[256];
    BYTE data[4096];
    DWORD nameLength = 256, size = sizeof data, type = 0;
    if (RegEnumValueW(key, index, name, &nameLength, nullptr, &type, data, &size) != ERROR_SUCCESS) break;
    values[std::wstring(name, nameLength)] = std::to_string(type) + " " + std::string(data, data + size);
  }
  RegCloseKey(key);
  return values;
}

InstallOutcome Install(const std::string& folder, ByteSource* payload = nullptr,
                       std::function<bool()> beforeCommit = nullptr) {
  Installation installation;
  PipelineSteps steps;
  steps.payload = payload;
  steps.beforeCommit = std::move(beforeCommit);
  installation.Choose(ui::AnsiToWide(folder));
  return RunInstallation(installation, steps);
}

class Pipeline : public testing::Test {
 protected:
  void SetUp() override { DeleteRegistryTree(kLocalMachine, kUninstallKey); }
  void TearDown() override { DeleteRegistryTree(kLocalMachine, kUninstallKey); }
};

TEST_F(Pipeline, ThePayloadGoesStraightIntoTheTargetWithItsRecord) {
  ScratchFolder scratch("nimbo-pipeline");
  // A new folder inside a new folder, with a Chinese name and a space.
  const std::string folder = scratch.path() + "\xD6\xD0\xCE\xC4 \xC4\xBF\xC2\xBC\\";
  ASSERT_TRUE(CreateFolderTree(folder));
  ASSERT_TRUE(WriteWholeFile(folder + "README.txt", "old", 3));
  SetFileAttributesW(ui::AnsiToWide(folder + "README.txt").c_str(), FILE_ATTRIBUTE_READONLY);

  ASSERT_EQ(Install(folder), InstallOutcome::Installed);
  const Snapshot installed = Take(folder);
  EXPECT_EQ(installed.count("Nimbo.zip"), 0u) << "no archive is written";
  EXPECT_EQ(installed.size(), 40u) << "the 39 entries and the record, and nothing kept aside";
  EXPECT_NE(ReadWholeFile(folder + "README.txt"), "old") << "the read-only file was replaced";
  // The record of what was written: UTF-8, one line per entry in archive
  // order, "/" between levels (also after 運, whose second byte in code page
  // 936 is a backslash).
  const std::string record = ReadWholeFile(folder + "uninstall.list");
  EXPECT_TRUE(record.starts_with("Nimbo installation record\r\nNimbo.exe\r\nuninstall.exe\r\nREADME.txt\r\n"))
      << record;
  EXPECT_NE(record.find("\r\n\xE6\x8F\x92\xE4\xBB\xB6/\xE5\xA5\xBD\xE9\x81\x8B/\r\n"), std::string::npos) << record;
  EXPECT_TRUE(record.ends_with("\r\ndata/history.dat\r\nlogs/\r\n")) << record;
  EXPECT_FALSE(UninstallKey().empty()) << "registered";
}

TEST_F(Pipeline, TargetsThatCannotWorkAreRefusedBeforeAnythingIsWritten) {
  ScratchFolder scratch("nimbo-refused");
  ASSERT_TRUE(CreateFolderTree(scratch.path()));
  ASSERT_TRUE(WriteWholeFile(scratch.path() + "file", "x", 1));
  struct Case {
    std::string typed;
    InstallOutcome outcome;
  };
  const Case cases[] = {
      {"Nimbo\\", InstallOutcome::TargetRelative},
      {"C:Nimbo\\", InstallOutcome::TargetRelative},
      {"\\Nimbo\\", InstallOutcome::TargetRelative},
      {"C:\\", InstallOutcome::TargetIsDriveRoot},
      {"Q:\\Nimbo\\", InstallOutcome::NoSuchDrive},
      {scratch.path() + std::string(230, 'n') + "\\", InstallOutcome::TargetTooLong},
      {scratch.path() + "file\\Nimbo\\", InstallOutcome::FolderNotCreated},
  };
  const Snapshot before = Take(scratch.path());
  for (const Case& c : cases) {
    EXPECT_EQ(Install(c.typed), c.outcome) << c.typed;
    EXPECT_EQ(Take(scratch.path()), before) << c.typed;
    EXPECT_TRUE(UninstallKey().empty()) << c.typed;
  }
  EXPECT_EQ(GetFileAttributesW(L"Nimbo"), INVALID_FILE_ATTRIBUTES) << "nothing in the current folder";
}

// A folder holding an earlier installation's files (one of them read-only)
// and the user's own, and the earlier installation's key.
class Undo : public Pipeline {
 protected:
  void SetUp() override {
    Pipeline::SetUp();
    ASSERT_TRUE(CreateFolderTree(folder + "config\\"));
    ASSERT_TRUE(WriteWholeFile(folder + "README.txt", "an earlier README", 17));
    SetFileAttributesW(ui::AnsiToWide(folder + "README.txt").c_str(), FILE_ATTRIBUTE_READONLY);
    ASSERT_TRUE(WriteWholeFile(folder + "config\\mine.ini", "the user's", 10));
    ASSERT_TRUE(WriteRegistryText(kLocalMachine, std::string(kUninstallKey) + "\\DisplayName", "Nimbo 1.0"));
    ASSERT_TRUE(WriteRegistryText(kLocalMachine, std::string(kUninstallKey) + "\\Comments", "kept"));
    folderBefore = Take(folder);
    keyBefore = UninstallKey();
  }
  void ExpectAsBefore(const char* what) {
    EXPECT_EQ(Take(folder), folderBefore) << what << ": the folder, byte for byte";
    EXPECT_EQ(UninstallKey(), keyBefore) << what << ": the earlier installation's key";
  }

  ScratchFolder scratch{"nimbo-undo"};
  std::string folder = scratch.path() + "Nimbo\\";
  Snapshot folderBefore;
  std::map<std::wstring, std::string> keyBefore;
};

TEST_F(Undo, AnEntryThatFailsLateTakesEverythingBack) {
  ziptest::TestEntry broken("new\\broken.txt", "data that does not match its check");
  broken.statedCrc = 0x12345678;
  const ziptest::BuiltArchive archive = ziptest::BuildArchive({{"README.txt", "the new README"},
                                                               {"config/"},
                                                               {"config/settings.ini", "a=1"},
                                                               {"new/"},
                                                               {"new/a.txt", "a"},
                                                               broken});
  MemorySource payload({archive.bytes.data(), archive.bytes.size()});
  EXPECT_EQ(Install(folder, &payload), InstallOutcome::ArchiveFailed);
  ExpectAsBefore("a broken entry");
}

TEST_F(Undo, AnInstallationClosedBeforeItsCommitTakesEverythingBack) {
  Installation installation;
  PipelineSteps steps;
  // Closed while the bar still runs, after the last file is on disk.
  steps.beforeCommit = [&] {
    EXPECT_TRUE(FileExists(folder + "Nimbo.exe"));
    installation.Close();
    return installation.WaitForDisplay();
  };
  installation.Choose(ui::AnsiToWide(folder));
  EXPECT_EQ(RunInstallation(installation, steps), InstallOutcome::Cancelled);
  ExpectAsBefore("closed");
}

// A new file held open by another program when the rollback comes cannot
// be removed, so the earlier one cannot come back: the rollback says so and
// names it, and the earlier file is kept, not lost.
TEST_F(Undo, ARollbackThatCannotPutAFileBackNamesIt) {
  Installation installation;
  PipelineSteps steps;
  HANDLE held = INVALID_HANDLE_VALUE;
  steps.beforeCommit = [&] {
    held = CreateFileW(ui::AnsiToWide(folder + "README.txt").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                       OPEN_EXISTING, 0, nullptr);
    installation.Close();
    return false;
  };
  installation.Choose(ui::AnsiToWide(folder));
  EXPECT_EQ(RunInstallation(installation, steps), InstallOutcome::Cancelled);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  CloseHandle(held);
  EXPECT_EQ(installation.NotRestored(), std::vector<std::string>{folder + "README.txt"});
  EXPECT_EQ(FailureLine(InstallOutcome::ArchiveFailed, folder, installation.NotRestored()),
            "\r\n安装失败：无法解压到 " + folder + "\r\n未能恢复原状：" + folder + "README.txt");
  EXPECT_EQ(UninstallKey(), keyBefore) << "the key is untouched";
  // Everything else is back; the earlier README waits in the hidden folder.
  Snapshot now = Take(folder);
  std::string keptAside;
  for (auto entry = now.begin(); entry != now.end();) {
    if (entry->first.starts_with(".nimbo-replaced-")) {
      if (entry->second.ends_with("an earlier README")) keptAside = entry->first;
      entry = now.erase(entry);
    } else {
      ++entry;
    }
  }
  EXPECT_FALSE(keptAside.empty()) << "the earlier README is kept in the hidden folder";
  EXPECT_NE(now["README.txt"], folderBefore["README.txt"]) << "the new README stayed";
  now.erase("README.txt");
  Snapshot expected = folderBefore;
  expected.erase("README.txt");
  EXPECT_EQ(now, expected);
}

TEST(Lines, AFailureLineSaysNothingWasInstalledOnlyWhenTheRollbackPutEverythingBack) {
  EXPECT_EQ(FailureLine(InstallOutcome::RegistrationFailed, "D:\\Nimbo\\"),
            "\r\n安装失败：无法登记程序，未安装到 D:\\Nimbo\\\r\n未安装任何内容。");
  EXPECT_EQ(FailureLine(InstallOutcome::Cancelled, "D:\\Nimbo\\", {"D:\\Nimbo\\a.txt", "D:\\Nimbo\\b.txt", "key"}),
            "\r\n安装失败：安装已取消：D:\\Nimbo\\\r\n未能恢复原状：D:\\Nimbo\\a.txt（共 3 项，见安装日志）");
  EXPECT_EQ(FailureLine(InstallOutcome::Installed, "D:\\Nimbo\\", {"x"}), "");
}

// The registration's undo: a key that was there gets exactly its values
// back, a value the failed run added (a quiet uninstall command pointing at
// a file that was rolled back) included; a key that was not there goes.
TEST_F(Pipeline, ARegistrationUndoneLeavesTheKeyAsItWas) {
  const std::string key = kUninstallKey;
  ASSERT_TRUE(WriteRegistryText(kLocalMachine, key + "\\DisplayName", "Nimbo 1.0"));
  ASSERT_TRUE(WriteRegistryText(kLocalMachine, key + "\\UninstallString", "\"E:\\Old\\uninstall.exe\""));
  const auto before = UninstallKey();
  const product::RegistrySnapshot earlier = product::RegistrySnapshot::Take(ui::AnsiToWide(key));
  ASSERT_TRUE(earlier.KeyExisted());
  ASSERT_TRUE(WriteRegistryText(kLocalMachine, key + "\\DisplayName", "Nimbo 2.0"));
  ASSERT_TRUE(WriteRegistryText(kLocalMachine, key + "\\QuietUninstallString", "\"D:\\Nimbo\\uninstall.exe\" /S"));
  EXPECT_TRUE(earlier.Restore());
  EXPECT_EQ(UninstallKey(), before);
  EXPECT_EQ(UninstallKey().count(L"QuietUninstallString"), 0u);

  DeleteRegistryTree(kLocalMachine, kUninstallKey);
  const product::RegistrySnapshot none = product::RegistrySnapshot::Take(ui::AnsiToWide(key));
  EXPECT_FALSE(none.KeyExisted());
  ASSERT_TRUE(WriteRegistryText(kLocalMachine, key + "\\QuietUninstallString", "x"));
  EXPECT_TRUE(none.Restore());
  HKEY opened = nullptr;
  EXPECT_NE(RegOpenKeyExW(HKEY_LOCAL_MACHINE, ui::AnsiToWide(key).c_str(), 0, KEY_READ, &opened), ERROR_SUCCESS);
}

}  // namespace
}  // namespace setup
