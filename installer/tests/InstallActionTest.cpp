// The installation's steps under Wine: the folder, the payload on disk, the
// extraction's results, the registry writes and the completion worker.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <functional>
#include <span>

#include "engine/core/EngineMessages.h"
#include "engine/core/TextConversion.h"
#include "installer/ArchiveExtraction.h"
#include "installer/CompletionWorker.h"
#include "installer/DesktopShortcut.h"
#include "installer/FileSystem.h"
#include "installer/InstallAction.h"
#include "installer/InstallClosing.h"
#include "installer/InstallerAssets.h"
#include "installer/InstallerState.h"
#include "installer/tests/Pumping.h"
#include "installer/tests/ScratchFolder.h"
#include "installer/ProcessObjects.h"
#include "installer/Registry.h"
#include "installer/UnelevatedStart.h"
#include "installer/StartWindow.h"
#include "installer/archive/EntryPath.h"
#include "installer/archive/ZipReader.h"
#include "installer/archive/tests/TestArchives.h"

#include <shellapi.h>
#include <tlhelp32.h>

namespace setup {
namespace {

using test::Pump;
using test::PumpUntil;

using test::ScratchFolder;
using test::TempFolder;

std::string ReadWholeFile(const std::string& path) {
  HANDLE file = CreateFileW(ui::AnsiToWide(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0,
                            nullptr);
  if (file == INVALID_HANDLE_VALUE) return {};
  std::string bytes;
  char buffer[65536];
  DWORD read = 0;
  while (ReadFile(file, buffer, sizeof buffer, &read, nullptr) && read > 0) bytes.append(buffer, read);
  CloseHandle(file);
  return bytes;
}

TEST(InstallFolder, GetsItsBackslashByTheLastCharacter) {
  struct Case {
    const char* typed;
    const char* folder;
  };
  const Case cases[] = {
      {"", "D:\\Nimbo\\"},                 // an empty box: the default folder
      {"E:\\Apps", "E:\\Apps\\"},
      {"E:\\Apps\\", "E:\\Apps\\"},
      {"E:\\\x95\x5C", "E:\\\x95\x5C\\"},  // ends in a character whose second byte is 0x5C
      {"E:\\\xD6\xD0 \xCE\xC4", "E:\\\xD6\xD0 \xCE\xC4\\"},
  };
  for (const Case& c : cases) EXPECT_EQ(NormalisedInstallDir(c.typed), c.folder) << c.typed;
}

TEST(Registry, WriteRegistryTextSplitsThePathAndPicksTheRoot) {
  struct Case {
    int root;
    HKEY expected;
    const char* path;
    const wchar_t* key;
    const wchar_t* value;  // empty: the default value
  };
  const Case cases[] = {
      {3, HKEY_CURRENT_USER, "Software\\NimboTest\\Name", L"Software\\NimboTest", L"Name"},
      {4, HKEY_LOCAL_MACHINE, "Software\\NimboTest\\Deep\\Er\\Name", L"Software\\NimboTest\\Deep\\Er", L"Name"},
      {9, HKEY_CURRENT_USER, "Software\\NimboTest\\Other", L"Software\\NimboTest", L"Other"},
      {5, HKEY_USERS, ".DEFAULT\\Software\\NimboTest\\Name", L".DEFAULT\\Software\\NimboTest", L"Name"},
      {3, HKEY_CURRENT_USER, "Software\\NimboTest\\", L"Software\\NimboTest", L""},
  };
  for (const Case& c : cases) {
    ASSERT_TRUE(WriteRegistryText(c.root, c.path, "\xD6\xD0\xCE\xC4 text")) << c.path;
    wchar_t data[64] = {};
    DWORD size = sizeof data, type = 0;
    ASSERT_EQ(RegGetValueW(c.expected, c.key, *c.value ? c.value : nullptr, RRF_RT_ANY, &type, data, &size),
              ERROR_SUCCESS)
        << c.path;
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(std::wstring(data), L"\u4E2D\u6587 text") << "stored as Unicode, with its terminating zero";
    EXPECT_EQ(size, (7 + 1) * sizeof(wchar_t));
  }
  EXPECT_TRUE(DeleteRegistryTree(3, "Software\\NimboTest"));
  EXPECT_TRUE(DeleteRegistryTree(4, "Software\\NimboTest"));
  EXPECT_TRUE(DeleteRegistryTree(5, ".DEFAULT\\Software\\NimboTest"));
  HKEY gone = nullptr;
  EXPECT_NE(RegOpenKeyExW(HKEY_CURRENT_USER, L"Software\\NimboTest", 0, KEY_READ, &gone), ERROR_SUCCESS);
}

// Which way the product is started, and the log line that says so.
std::vector<std::string> startsTried;
bool desktopStarts = false;
TEST(ProductStart, GoesThroughTheDesktopsShellWhenElevatedElseWithTheInstallersRights) {
  ProgramStarters starters;
  starters.asDesktopUser = [](const std::string& file, const std::string&, std::string* why) {
    startsTried.push_back("desktop " + file);
    *why = "no desktop shell window";
    return desktopStarts;
  };
  starters.directly = [](const std::string& file, const std::string&) {
    startsTried.push_back("direct " + file);
    return file != "D:\\missing.exe";
  };
  struct Case {
    bool elevated, desktop;
    const char* file;
    std::vector<std::string> tried;
    std::string line;
  };
  const Case cases[] = {
      {true, true, "D:\\N\\Nimbo.exe", {"desktop D:\\N\\Nimbo.exe"},
       "started: D:\\N\\Nimbo.exe [Run] (as the desktop's user, through its shell)"},
      {true, false, "D:\\N\\Nimbo.exe", {"desktop D:\\N\\Nimbo.exe", "direct D:\\N\\Nimbo.exe"},
       "started: D:\\N\\Nimbo.exe [Run] (with the installer's own rights: no desktop shell window)"},
      {false, true, "D:\\N\\Nimbo.exe", {"direct D:\\N\\Nimbo.exe"},
       "started: D:\\N\\Nimbo.exe [Run] (with the installer's own rights: the installer is not elevated)"},
      {false, true, "D:\\missing.exe", {"direct D:\\missing.exe"}, "could not start: D:\\missing.exe [Run]"},
  };
  for (const Case& c : cases) {
    startsTried.clear();
    desktopStarts = c.desktop;
    starters.elevated = c.elevated ? +[] { return true; } : +[] { return false; };
    EXPECT_EQ(StartUnelevated(c.file, "[Run]", starters), c.line);
    EXPECT_EQ(startsTried, c.tried) << c.line;
  }
}

TEST(Deploy, PutsEveryEntryOnDiskReplacingReadOnlyFilesAndRemovesTheArchive) {
  ScratchFolder scratch("nimbo-deploy");
  // A new folder inside a new folder, with a Chinese name and a space.
  const std::string folder = scratch.path() + "\xD6\xD0\xCE\xC4 \xC4\xBF\xC2\xBC\\";
  ASSERT_TRUE(CreateFolderTree(folder));
  ASSERT_TRUE(WriteWholeFile(folder + "README.txt", "old", 3));
  SetFileAttributesW(ui::AnsiToWide(folder + "README.txt").c_str(), FILE_ATTRIBUTE_READONLY);

  ASSERT_EQ(DeployPayload(folder), InstallOutcome::Installed);
  EXPECT_FALSE(FileExists(folder + "Nimbo.zip")) << "the archive is deleted";

  // Every entry, with the bytes the payload holds for it.
  const ui::Bytes payload = PayloadArchive();
  MemorySource source(std::span<const std::uint8_t>(payload.data(), payload.size()));
  ZipReader reader;
  ASSERT_EQ(reader.Open(source), ZipStatus::kOk);
  EXPECT_EQ(reader.EntryCount(), 39u);
  for (std::size_t i = 0; i < reader.EntryCount(); ++i) {
    const ZipEntry& entry = *reader.Entry(i);
    const std::string path = folder + BuildEntryPath(entry).path;
    if (entry.isFolder) {
      EXPECT_TRUE(FolderExists(path)) << path;
      continue;
    }
    MemorySink expected;
    ASSERT_EQ(reader.Extract(i, expected), ZipStatus::kOk);
    const std::string bytes(expected.Bytes().begin(), expected.Bytes().end());
    EXPECT_TRUE(ReadWholeFile(path) == bytes) << path;
  }
  EXPECT_NE(ReadWholeFile(folder + "README.txt"), "old") << "the read-only file was replaced";

  // The record of what was written: UTF-8, one line per entry in archive
  // order, "/" between levels (also after 運, whose second byte in code page
  // 936 is a backslash).
  const std::string record = ReadWholeFile(folder + "uninstall.list");
  EXPECT_TRUE(record.starts_with("Nimbo installation record\r\nNimbo.exe\r\nuninstall.exe\r\nREADME.txt\r\n"))
      << record;
  EXPECT_NE(record.find("\r\n\xE6\x8F\x92\xE4\xBB\xB6/\xE5\xA5\xBD\xE9\x81\x8B/\r\n"), std::string::npos) << record;
  EXPECT_TRUE(record.ends_with("\r\ndata/history.dat\r\nlogs/\r\n")) << record;
  EXPECT_EQ(std::count(record.begin(), record.end(), '\n'), 40);
}

TEST(Deploy, AnInstallationWhoseRecordCannotBeWrittenFails) {
  ScratchFolder scratch("nimbo-no-record");
  // A folder stands where the record goes.
  ASSERT_TRUE(CreateFolderTree(scratch.path() + "uninstall.list\\"));
  EXPECT_EQ(DeployPayload(scratch.path()), InstallOutcome::PayloadNotWritten);
  EXPECT_TRUE(FileExists(scratch.path() + "Nimbo.exe")) << "what was extracted stays for the uninstaller";
}

TEST(Deploy, FolderThatCannotBeMadeWritesNothing) {
  ScratchFolder scratch("nimbo-blocked");
  ASSERT_TRUE(CreateFolderTree(scratch.path()));
  // The would-be parent is a file.
  ASSERT_TRUE(WriteWholeFile(scratch.path() + "file", "x", 1));
  EXPECT_EQ(DeployPayload(scratch.path() + "file\\Nimbo\\"), InstallOutcome::FolderNotCreated);
  EXPECT_EQ(FailureLine(InstallOutcome::FolderNotCreated, "E:\\X\\"), "\r\n安装失败：无法创建文件夹 E:\\X\\");
}

TEST(ExtractArchive, ReportsMissingBrokenUnsafeAndGoodArchives) {
  using ziptest::BuildArchive;
  using ziptest::TestEntry;
  ScratchFolder scratch("nimbo-extract");
  const std::string target = scratch.path() + "target\\";
  ASSERT_TRUE(CreateFolderTree(scratch.path()));
  const auto write = [&](const char* name, const std::vector<std::uint8_t>& bytes) {
    const std::string path = scratch.path() + name;
    EXPECT_TRUE(WriteWholeFile(path, bytes.data(), bytes.size()));
    return path;
  };
  TestEntry badCrc("broken.txt", "some text that is deflated");
  badCrc.statedCrc = 0x12345678;
  const std::string good = write("good.zip", BuildArchive({{"a/"}, {"a/b.txt", "b"}, {"c.txt", "ccc"}}).bytes);
  const std::string unsafe = write("unsafe.zip", BuildArchive({{"fine.txt", "x"}, {"..\\evil.txt", "evil"}}).bytes);
  const std::string broken = write("broken.zip", BuildArchive({{"first.txt", "1"}, badCrc}).bytes);
  const std::string text = write("text.zip", std::vector<std::uint8_t>{'h', 'e', 'l', 'l', 'o'});

  struct Case {
    std::string archive;
    int result;
    bool unsafe;
  };
  const Case cases[] = {
      {scratch.path() + "missing.zip", kExtractOpenFailed, false},
      {text, kExtractOpenFailed, false},
      {unsafe, kExtractEntryFailed, true},
      {broken, kExtractEntryFailed, false},
      {good, kExtractDone, false},
  };
  for (const Case& c : cases) {
    bool reported = !c.unsafe;
    EXPECT_EQ(ExtractArchive(c.archive, target, &reported), c.result) << c.archive;
    EXPECT_EQ(reported, c.unsafe) << c.archive;
  }
  EXPECT_FALSE(FileExists(scratch.path() + "evil.txt")) << "nothing outside the folder";
  EXPECT_FALSE(FileExists(target + "fine.txt")) << "an unsafe archive writes nothing at all";
  EXPECT_FALSE(FileExists(target + "broken.txt")) << "a file that failed its check is removed";
  EXPECT_EQ(ReadWholeFile(target + "a\\b.txt"), "b");
  EXPECT_EQ(ReadWholeFile(target + "c.txt"), "ccc");
  EXPECT_EQ(ExtractArchive(good, ""), kExtractOpenFailed);
}

// The bytes of every file under a folder (ending in '\\'), walked on disk.
std::uint64_t BytesUnder(const std::string& folder) {
  std::uint64_t bytes = 0;
  WIN32_FIND_DATAW found{};
  HANDLE search = FindFirstFileW(ui::AnsiToWide(folder + "*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return 0;
  do {
    const std::wstring name = found.cFileName;
    if (name == L"." || name == L"..") continue;
    if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) bytes += BytesUnder(folder + ui::WideToAnsi(name) + "\\");
    else bytes += (std::uint64_t{found.nFileSizeHigh} << 32) | found.nFileSizeLow;
  } while (FindNextFileW(search, &found));
  FindClose(search);
  return bytes;
}

// The start window with the progress bar and the status box as the install
// action leaves them, for the worker to finish.
class Worker : public testing::Test {
 protected:
  void SetUp() override {
    ConstructProcessObjects();
    window = LoadStartWindow();
    ASSERT_NE(window, nullptr);
    progressBar->Create(startWindowHandle, 100, 240, 650, 21, 0);
    ui::EditBoxOptions options;
    options.multiLine = 1;
    options.inputMode = ui::kEditReadOnly;
    statusBox->Create(startWindowHandle, 100, 270, 620, 172, "正在安装", options);
    statusBox->OnChange(&RecordStatus);
    hostWindow->SetMessageHook(&RecordClose);
    barPaints = 0;
    progressBar->SetOnMessage(&CountBarPaints);
    DeleteRegistryTree(kLocalMachine, kUninstallKey);
    DeleteFileW(ui::AnsiToWide(LaunchRecord()).c_str());
    DeleteFileW(ui::AnsiToWide(DesktopShortcutPath()).c_str());
    installDone = 0;
    productInstalled = false;
    ResetInstallClosing();
    status.clear();
    launchedBeforeClose = closeRequested = false;
  }
  void TearDown() override {
    if (IsWindow(window)) DestroyWindow(window);
    Pump();
    ReleaseProcessObjects();
    installDir.clear();
    installDone = 0;
    installOutcome = InstallOutcome::Installed;
    productInstalled = false;
    DeleteRegistryTree(kLocalMachine, kUninstallKey);
    DeleteFileW(ui::AnsiToWide(DesktopShortcutPath()).c_str());
    backgroundPhase = 0;
  }

  // Runs the worker to its end while this thread handles the window; a
  // step taken when the condition first holds (a user closing the window).
  void RunWorker(const std::function<bool()>& when = nullptr, const std::function<void()>& step = nullptr) {
    HANDLE thread = CreateThread(nullptr, 0, &CompletionWorker, nullptr, 0, nullptr);
    ASSERT_NE(thread, nullptr);
    if (when) {
      EXPECT_TRUE(PumpUntil(when, 20000));
      step();
    }
    EXPECT_TRUE(PumpUntil([&] { return WaitForSingleObject(thread, 0) == WAIT_OBJECT_0; }, 20000));
    CloseHandle(thread);
    Pump();
  }
  // The product on disk in a scratch folder, as the install action leaves it.
  void Deployed(const ScratchFolder& product) {
    ASSERT_EQ(DeployPayload(product.path()), InstallOutcome::Installed);
    installDir = product.path();
    installOutcome = InstallOutcome::Installed;
    installDone.store(1);
  }
  static bool Registered() {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, ui::AnsiToWide(kUninstallKey).c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) {
      return false;
    }
    RegCloseKey(key);
    return true;
  }

  // Where the sample product writes its command line when it starts.
  static std::string LaunchRecord() { return TempFolder() + "Nimbo-started.txt"; }

  static void RecordStatus(ui::Control*) { status = statusBox->text.Text(); }
  static LRESULT RecordClose(HWND, UINT message, WPARAM, LPARAM) {
    if (message == WM_CLOSE && !closeRequested) {
      closeRequested = true;
      launchedBeforeClose = ProductRunning();
    }
    return ui::kUnhandled;
  }
  // Whether a process of the product exists.
  static bool ProductRunning() {
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    PROCESSENTRY32W process{};
    process.dwSize = sizeof process;
    bool found = false;
    for (BOOL more = Process32FirstW(snapshot, &process); more && !found; more = Process32NextW(snapshot, &process)) {
      found = lstrcmpiW(process.szExeFile, L"Nimbo.exe") == 0;
    }
    CloseHandle(snapshot);
    return found;
  }
  static int CountBarPaints(ui::Control*, unsigned message, WPARAM, LPARAM) {
    if (message == WM_PAINT) ++barPaints;
    return ui::kUnhandled;
  }

  HWND window = nullptr;
  static inline std::string status;
  static inline bool closeRequested = false, launchedBeforeClose = false;
  static inline int barPaints = 0;
};

TEST_F(Worker, RegistersReportsStartsTheProductAndClosesInThatOrder) {
  ScratchFolder product("nimbo-worker");
  ASSERT_EQ(DeployPayload(product.path()), InstallOutcome::Installed);
  installDir = product.path();
  progressBar->Position(100);  // already at the end: no animation
  barPaints = 0;
  installOutcome = InstallOutcome::Installed;
  installDone.store(1);  // already set: the registration follows at once

  RunWorker();
  EXPECT_EQ(barPaints, 0) << "a bar at 100 is not animated";
  EXPECT_EQ(status, "正在安装\r\n已完成安装，即将启动Nimbo");
  EXPECT_TRUE(productInstalled.load());
  ASSERT_TRUE(PumpUntil([&] { return !IsWindow(window); }, 10000)) << "the window closes";
  EXPECT_TRUE(launchedBeforeClose) << "the product was started before the close request";
  EXPECT_TRUE(FileExists(DesktopShortcutPath())) << "closing made the shortcut";

  // The eight values, in Unicode, the uninstaller's path quoted.
  const std::wstring folder = ui::AnsiToWide(product.path());
  const std::pair<const wchar_t*, std::wstring> values[] = {
      {nullptr, L""},
      {L"DisplayIcon", folder + L"nimbo.exe"},
      {L"DisplayName", L"Nimbo"},
      {L"DisplayVersion", L"2.0.1002"},
      {L"HelpLink", L"https://nimbo.quorvane.com/help"},
      {L"Publisher", L"Quorvane"},
      {L"UninstallString", L"\"" + folder + L"uninstall.exe\""},
      {L"URLInfoAbout", L"https://nimbo.quorvane.com/"},
  };
  const std::wstring key = ui::AnsiToWide(kUninstallKey);
  for (const auto& [name, expected] : values) {
    wchar_t data[512] = {};
    DWORD size = sizeof data;
    ASSERT_EQ(RegGetValueW(HKEY_LOCAL_MACHINE, key.c_str(), name, RRF_RT_REG_SZ, nullptr, data, &size),
              ERROR_SUCCESS)
        << (name ? ui::WideToAnsi(name) : "(default)");
    EXPECT_EQ(std::wstring(data), expected);
  }
  // What Windows shows for an installed program: its folder, the silent
  // uninstaller, no modify or repair, and its size: the files on disk.
  for (const auto& [name, expected] : {std::pair<const wchar_t*, std::wstring>{L"InstallLocation", folder},
                                       {L"QuietUninstallString", L"\"" + folder + L"uninstall.exe\" /S"}}) {
    wchar_t data[512] = {};
    DWORD size = sizeof data;
    ASSERT_EQ(RegGetValueW(HKEY_LOCAL_MACHINE, key.c_str(), name, RRF_RT_REG_SZ, nullptr, data, &size), ERROR_SUCCESS);
    EXPECT_EQ(std::wstring(data), expected);
  }
  const auto number = [&](const wchar_t* name) {
    DWORD value = 0, size = sizeof value;
    EXPECT_EQ(RegGetValueW(HKEY_LOCAL_MACHINE, key.c_str(), name, RRF_RT_REG_DWORD, nullptr, &value, &size),
              ERROR_SUCCESS);
    return value;
  };
  EXPECT_EQ(number(L"NoModify"), 1u);
  EXPECT_EQ(number(L"NoRepair"), 1u);
  EXPECT_EQ(number(L"EstimatedSize"), (BytesUnder(product.path()) + 1023) / 1024);
  ASSERT_TRUE(PumpUntil([] { return FileExists(LaunchRecord()); }, 10000)) << "the product started";
  const std::string started = ReadWholeFile(LaunchRecord());
  EXPECT_NE(started.find("[Run_With_AutoUpdate]"), std::string::npos) << started;
  // The product's window closes again, and the product ends.
  HWND nimbo = nullptr;
  EXPECT_TRUE(PumpUntil([&] { return (nimbo = FindWindowW(nullptr, L"Nimbo")) != nullptr; }, 10000));
  if (nimbo != nullptr) PostMessageW(nimbo, WM_CLOSE, 0, 0);
  EXPECT_TRUE(PumpUntil([] { return !ProductRunning(); }, 10000));
}

TEST_F(Worker, FailedInstallationIsReportedAndNothingIsRegisteredOrStarted) {
  installDir = "E:\\\xD6\xD0\xCE\xC4\\";
  installOutcome = InstallOutcome::PayloadNotWritten;
  installDone.store(1);
  RunWorker();
  EXPECT_EQ(progressBar->Position(), 100) << "the bar ran to its end";
  EXPECT_GE(barPaints, 100);
  EXPECT_EQ(status, "正在安装\r\n安装失败：无法写入 E:\\\xD6\xD0\xCE\xC4\\");
  HKEY key = nullptr;
  EXPECT_NE(RegOpenKeyExW(HKEY_LOCAL_MACHINE, ui::AnsiToWide(kUninstallKey).c_str(), 0, KEY_READ, &key),
            ERROR_SUCCESS)
      << "nothing registered";
  EXPECT_FALSE(FileExists(LaunchRecord())) << "nothing started";
  EXPECT_FALSE(closeRequested);
  EXPECT_TRUE(IsWindow(window)) << "the window stays open to be read";
  EXPECT_FALSE(productInstalled.load());
  SendMessageW(window, WM_CLOSE, 0, 0);
  EXPECT_FALSE(FileExists(DesktopShortcutPath())) << "and closing it makes no shortcut";
}

// Closing while the bar still moves abandons the rest: the worker stops,
// nothing is registered, reported or started, and no shortcut is made.
TEST_F(Worker, CloseDuringTheProgressRegistersAndStartsNothing) {
  ScratchFolder product("nimbo-close-progress");
  Deployed(product);
  RunWorker([] { return progressBar->Position() >= 20; }, [&] { SendMessageW(window, WM_CLOSE, 0, 0); });
  EXPECT_LT(progressBar->Position(), 100) << "the bar stopped with the close";
  EXPECT_EQ(status, "") << "nothing reported after the close";
  EXPECT_FALSE(Registered());
  EXPECT_FALSE(productInstalled.load());
  EXPECT_FALSE(FileExists(DesktopShortcutPath()));
  EXPECT_FALSE(FileExists(LaunchRecord())) << "nothing started";
  EXPECT_FALSE(ProductRunning());
  EXPECT_TRUE(FileExists(product.path() + "Nimbo.exe")) << "what was extracted stays";
}

// Closing during the completion line: the product is installed and
// registered, so the shortcut is made; it is not started any more.
TEST_F(Worker, CloseDuringTheCompletionLineKeepsTheInstallationAndStartsNothing) {
  ScratchFolder product("nimbo-close-complete");
  Deployed(product);
  progressBar->Position(100);
  RunWorker([] { return status.find("已完成安装") != std::string::npos; },
            [&] { SendMessageW(window, WM_CLOSE, 0, 0); });
  EXPECT_TRUE(Registered());
  EXPECT_TRUE(productInstalled.load());
  EXPECT_TRUE(FileExists(DesktopShortcutPath())) << "closing made the shortcut";
  EXPECT_FALSE(FileExists(LaunchRecord())) << "the product was not started after the close";
  EXPECT_FALSE(ProductRunning());
}

}  // namespace
}  // namespace setup
