// The installation's steps under Wine: the folder, the payload on disk, the
// extraction's results, the registry writes and the completion worker.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <functional>
#include <span>
#include <vector>

#include "engine/core/EngineMessages.h"
#include "engine/core/TextConversion.h"
#include "installer/CompletionWorker.h"
#include "installer/DesktopShortcut.h"
#include "installer/FileSystem.h"
#include "installer/InstallAction.h"
#include "installer/InstallClosing.h"
#include "installer/Installation.h"
#include "installer/ProductRegistration.h"
#include "installer/ProgressDisplay.h"
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
#include "engine/testing/ControlPeer.h"
#include "installer/archive/tests/TestArchives.h"

#include <shellapi.h>
#include <tlhelp32.h>

namespace setup {
namespace {

using test::Pump;
using test::PumpEachUntil;
using test::PumpUntil;
using test::ReadWholeFile;
using test::ScratchFolder;
using test::TempFolder;

TEST(InstallFolder, GetsItsBackslashByTheLastCharacter) {
  struct Case {
    const char* typed;
    const char* folder;
  };
  const Case cases[] = {
      {"", "D:\\Nimbo\\"},  // an empty box: the default folder
      {"E:\\Apps", "E:\\Apps\\"},
      {"E:\\Apps\\", "E:\\Apps\\"},
      {"E:\\\x95\x5C", "E:\\\x95\x5C\\"},  // ends in a character whose second byte is 0x5C
      {"E:\\\xD6\xD0 \xCE\xC4", "E:\\\xD6\xD0 \xCE\xC4\\"},
  };
  for (const Case& c : cases) EXPECT_EQ(NormalisedInstallDir(c.typed), ui::AnsiToWide(c.folder)) << c.typed;
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
  starters.asDesktopUser = [](const std::wstring& file, const std::string&, std::string* why) {
    startsTried.push_back("desktop " + ui::WideToAnsi(file));
    *why = "no desktop shell window";
    return desktopStarts;
  };
  starters.directly = [](const std::wstring& file, const std::string&) {
    startsTried.push_back("direct " + ui::WideToAnsi(file));
    return file != L"D:\\missing.exe";
  };
  struct Case {
    bool elevated, desktop;
    const char* file;
    std::vector<std::string> tried;
    std::string line;
  };
  const Case cases[] = {
      {true,
       true,
       "D:\\N\\Nimbo.exe",
       {"desktop D:\\N\\Nimbo.exe"},
       "started: D:\\N\\Nimbo.exe [Run] (as the desktop's user, through its shell)"},
      {true,
       false,
       "D:\\N\\Nimbo.exe",
       {"desktop D:\\N\\Nimbo.exe", "direct D:\\N\\Nimbo.exe"},
       "started: D:\\N\\Nimbo.exe [Run] (with the installer's own rights: no desktop shell window)"},
      {false,
       true,
       "D:\\N\\Nimbo.exe",
       {"direct D:\\N\\Nimbo.exe"},
       "started: D:\\N\\Nimbo.exe [Run] (with the installer's own rights: the installer is not elevated)"},
      {false, true, "D:\\missing.exe", {"direct D:\\missing.exe"}, "could not start: D:\\missing.exe [Run]"},
  };
  for (const Case& c : cases) {
    startsTried.clear();
    desktopStarts = c.desktop;
    starters.elevated = c.elevated ? +[] { return true; } : +[] { return false; };
    EXPECT_EQ(StartUnelevated(ui::AnsiToWide(c.file), "[Run]", starters), c.line);
    EXPECT_EQ(startsTried, c.tried) << c.line;
  }
}

// The bar shows whichever is further behind: the time since the click (a
// step every 10 ms) or the bytes on disk, which reach the end only with
// the last file.
TEST(ProgressDisplay, ShowsTheTimeOrTheBytesWhicheverIsBehind) {
  struct Case {
    unsigned elapsedMs;
    std::uint64_t done, total;
    bool extracted;
    int position;
  };
  const Case cases[] = {
      {0, 0, 1000, false, 0},        {250, 1000, 1000, true, 25},  {1000, 1000, 1000, true, 100},
      {5000, 1000, 1000, true, 100}, {5000, 500, 1000, false, 50}, {5000, 1000, 1000, false, 99},
      {5000, 0, 0, false, 0},        {5000, 0, 0, true, 100},      {420, 999, 1000, false, 42},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ProgressPosition(c.elapsedMs, c.done, c.total, c.extracted), c.position)
        << c.elapsedMs << " ms, " << c.done << " of " << c.total;
  }
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
    barPositions.clear();
    progressBar->SetOnMessage(&CountBarPaints);
    DeleteRegistryTree(kLocalMachine, kUninstallKey);
    DeleteFileW(ui::AnsiToWide(LaunchRecord()).c_str());
    DeleteFileW(ui::AnsiToWide(DesktopShortcutPath()).c_str());
    ResetInstallClosing();
    status.clear();
    launchedBeforeClose = closeRequested = false;
  }
  void TearDown() override {
    if (IsWindow(window)) DestroyWindow(window);
    Pump();
    ReleaseProcessObjects();
    ResetInstallClosing();
    DeleteRegistryTree(kLocalMachine, kUninstallKey);
    DeleteFileW(ui::AnsiToWide(DesktopShortcutPath()).c_str());
    backgroundPhase = 0;
  }

  // Starts the installation into the folder as the install action does
  // (the bar's display included) and runs the worker to its end while this
  // thread handles the window; a step taken when the condition first holds
  // (a user closing the window).
  void RunWorker(const std::string& folder, const std::function<bool()>& when = nullptr,
                 const std::function<void()>& step = nullptr) {
    Installation::Current().Choose(ui::AnsiToWide(folder));
    Installation::Current().Start();
    StartProgressDisplay();
    HANDLE thread = CreateThread(nullptr, 0, &CompletionWorker, nullptr, 0, nullptr);
    ASSERT_NE(thread, nullptr);
    if (when) {
      EXPECT_TRUE(PumpEachUntil(when, 20000));
      step();
    }
    EXPECT_TRUE(PumpUntil([&] { return WaitForSingleObject(thread, 0) == WAIT_OBJECT_0; }, 20000));
    CloseHandle(thread);
    Pump();
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

  static void RecordStatus(ui::Control*) { status = ui::test::ControlPeer::Text(*statusBox).Text(); }
  // The program's own hook after the record: a close cancels the
  // installation before the window plays its close effect, as in the program.
  static LRESULT RecordClose(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_CLOSE && !closeRequested) {
      closeRequested = true;
      launchedBeforeClose = ProductRunning();
    }
    return CancelInstallationOnClose(window, message, wParam, lParam);
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
    if (message == WM_PAINT) barPositions.push_back(progressBar->Position());
    return ui::kUnhandled;
  }

  HWND window = nullptr;
  static inline std::string status;
  static inline bool closeRequested = false, launchedBeforeClose = false;
  static inline std::vector<int> barPositions;  // the bar's position at each of its paints
};

TEST_F(Worker, RegistersReportsStartsTheProductAndClosesInThatOrder) {
  ScratchFolder product("nimbo-worker");
  RunWorker(product.path());
  EXPECT_EQ(progressBar->Position(), 100) << "the bar shows the end";
  // It went there step by step, never back: painted at positions between
  // its ends on the way (how many depends on the machine's pace; a bar that
  // jumped would show none).
  EXPECT_TRUE(std::is_sorted(barPositions.begin(), barPositions.end()));
  EXPECT_GE(std::count_if(barPositions.begin(), barPositions.end(), [](int at) { return at > 0 && at < 100; }), 2)
      << "painted on the way";
  EXPECT_EQ(status, "正在安装\r\n已完成安装，即将启动Nimbo");
  EXPECT_EQ(Installation::Current().Outcome(), InstallOutcome::Installed);
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
    ASSERT_EQ(RegGetValueW(HKEY_LOCAL_MACHINE, key.c_str(), name, RRF_RT_REG_SZ, nullptr, data, &size), ERROR_SUCCESS)
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
  ScratchFolder scratch("nimbo-worker-fails");
  ASSERT_TRUE(CreateFolderTree(scratch.path()));
  // The would-be parent is a file.
  ASSERT_TRUE(WriteWholeFile(scratch.path() + "file", "x", 1));
  const std::string folder = scratch.path() + "file\\\xD6\xD0\xCE\xC4\\";
  RunWorker(folder);
  EXPECT_EQ(status, "正在安装\r\n安装失败：无法创建文件夹 " + folder + "\r\n未安装任何内容。");
  EXPECT_EQ(Installation::Current().Outcome(), InstallOutcome::FolderNotCreated);
  EXPECT_FALSE(Registered()) << "nothing registered";
  EXPECT_FALSE(FileExists(LaunchRecord())) << "nothing started";
  EXPECT_FALSE(closeRequested);
  EXPECT_TRUE(IsWindow(window)) << "the window stays open to be read";
  SendMessageW(window, WM_CLOSE, 0, 0);
  EXPECT_FALSE(FileExists(DesktopShortcutPath())) << "and closing it makes no shortcut";
}

// Closing while the bar still moves abandons the installation: the worker
// stops and undoes what it wrote; nothing is registered, reported or
// started, and no shortcut is made.
TEST_F(Worker, CloseDuringTheProgressUndoesEverything) {
  ScratchFolder scratch("nimbo-close-progress");
  ASSERT_TRUE(CreateFolderTree(scratch.path()));
  const std::string folder = scratch.path() + "product\\";
  // Closed as soon as the worker has begun to write, whatever the pace of
  // the bar's timer on this machine.
  RunWorker(
      folder, [] { return Installation::Current().CurrentProgress().total > 0; },
      [&] { SendMessageW(window, WM_CLOSE, 0, 0); });
  EXPECT_LT(progressBar->Position(), 100) << "the bar stopped with the close";
  EXPECT_EQ(status, "") << "nothing reported after the close";
  EXPECT_EQ(Installation::Current().Outcome(), InstallOutcome::Cancelled);
  EXPECT_FALSE(Registered());
  EXPECT_FALSE(FileExists(DesktopShortcutPath()));
  EXPECT_FALSE(FileExists(LaunchRecord())) << "nothing started";
  EXPECT_FALSE(ProductRunning());
  EXPECT_FALSE(FolderExists(folder)) << "the folder it made is gone again";
}

// Closing during the completion line: the product is installed and
// registered, so the shortcut is made; it is not started any more.
TEST_F(Worker, CloseDuringTheCompletionLineKeepsTheInstallationAndStartsNothing) {
  ScratchFolder product("nimbo-close-complete");
  RunWorker(
      product.path(), [] { return status.find("已完成安装") != std::string::npos; },
      [&] { SendMessageW(window, WM_CLOSE, 0, 0); });
  EXPECT_TRUE(Registered());
  EXPECT_EQ(Installation::Current().Outcome(), InstallOutcome::Installed);
  EXPECT_TRUE(FileExists(DesktopShortcutPath())) << "closing made the shortcut";
  EXPECT_FALSE(FileExists(LaunchRecord())) << "the product was not started after the close";
  EXPECT_FALSE(ProductRunning());
  EXPECT_TRUE(FileExists(product.path() + "Nimbo.exe"));
}

}  // namespace
}  // namespace setup
