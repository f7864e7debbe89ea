// Every archive of tools/make-hostile-archives.py installed as the installer
// installs its payload, into the folder D:\Nimbo\ (see below): the outcome,
// what lands in the folder, and that nothing changes anywhere else on D: or
// in the users' folders. D: is mapped to a fresh folder of the build for
// this test. An installation that fails leaves nothing; one that succeeds
// leaves the entries and the installation's record (and registers the
// product, which the test takes away again).
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "engine/core/TextConversion.h"
#include "engine/core/Win32.h"
#include "installer/FileStreams.h"
#include "installer/FileSystem.h"
#include "installer/InstallPipeline.h"
#include "installer/ProductRegistration.h"
#include "installer/Registry.h"

namespace setup {
namespace {

constexpr char kTarget[] = "D:\\Nimbo\\";
constexpr char kArchives[] = "D:\\archives\\";
// An extraction of any of these archives takes well under a second.
constexpr DWORD kExtractionBoundMs = 60000;
constexpr std::int64_t kFolder = -1;

struct Expected {
  const char* archive;
  InstallOutcome outcome;
  // What D:\Nimbo\ holds afterwards: relative path -> size, kFolder for a
  // folder (its path ends in '\'); the record is not listed.
  std::map<std::string, std::int64_t> files;
};

// Names at fault: nothing is written, not even the harmless first entry.
Expected Unsafe(const char* archive) { return {archive, InstallOutcome::ArchiveUnsafe, {}}; }
// Refused as an archive before any name is looked at.
Expected Unreadable(const char* archive) { return {archive, InstallOutcome::ArchiveFailed, {}}; }

const std::vector<Expected>& Cases() {
  static const std::vector<Expected> cases = {
      Unsafe("parent-slash"),
      Unsafe("parent-backslash"),
      Unsafe("parent-deep"),
      Unsafe("prefix-trick"),
      Unsafe("absolute-slash"),
      Unsafe("absolute-backslash"),
      Unsafe("drive-letter"),
      Unsafe("drive-relative"),
      Unsafe("unc-backslash"),
      Unsafe("unc-slash"),
      Unsafe("stream"),
      Unsafe("device-con"),
      Unsafe("device-nul-txt"),
      Unsafe("device-in-folder"),
      Unsafe("device-com1"),
      Unsafe("forbidden-less"),
      Unsafe("forbidden-greater"),
      Unsafe("forbidden-quote"),
      Unsafe("forbidden-pipe"),
      Unsafe("forbidden-question"),
      Unsafe("forbidden-star"),
      Unsafe("forbidden-control"),
      Unsafe("trailing-dot"),
      Unsafe("trailing-space"),
      Unsafe("short-name-form"),
      // Names too long for the target folder: refused before anything is written.
      {"long-name", InstallOutcome::TargetTooLong, {}},
      {"long-path", InstallOutcome::TargetTooLong, {}},
      Unsafe("empty-name"),
      Unsafe("bad-encoding"),
      Unsafe("utf8-invalid"),
      Unsafe("utf8-no-cp936-form"),
      Unsafe("duplicate"),
      Unsafe("duplicate-case"),
      Unsafe("duplicate-fullwidth-case"),
      Unsafe("file-and-folder"),
      Unsafe("file-as-parent"),

      Unreadable("empty-file"),
      Unreadable("empty-archive"),
      Unreadable("not-zip"),
      Unreadable("truncated-half"),
      Unreadable("truncated-end-record"),
      Unreadable("count-lies-more"),
      Unreadable("count-lies-fewer"),
      Unreadable("count-here-differs"),
      Unreadable("directory-outside"),
      Unreadable("directory-size-lies"),
      Unreadable("local-name-differs"),
      Unreadable("spanned"),
      Unreadable("spanned-marker"),
      Unreadable("entry-on-other-disk"),
      Unreadable("encrypted"),
      Unreadable("unsupported-method"),
      Unreadable("zip64-sizes"),
      Unreadable("overlapping-entries"),

      // An entry that fails takes back the whole installation, the entries
      // written before it too.
      {"bad-crc", InstallOutcome::ArchiveFailed, {}},
      {"size-lies-inflates-huge", InstallOutcome::ArchiveFailed, {}},
      {"size-lies-stored-larger", InstallOutcome::ArchiveFailed, {}},
      {"size-lies-smaller-data", InstallOutcome::ArchiveFailed, {}},

      {"good-files",
       InstallOutcome::Installed,
       {{"bin\\", kFolder},
        {"bin\\Nimbo.exe", 5000},
        {"docs\\", kFolder},
        {"docs\\说明.txt", 6},
        {"empty.txt", 0},
        {"readme.txt", 280},
        {"资料\\", kFolder},
        {"资料\\数据.txt", 4}}},
      {"good-stored", InstallOutcome::Installed, {{"a.txt", 8}, {"empty\\", kFolder}}},
      {"good-longest-path",
       InstallOutcome::Installed,
       {{std::string(100, 'd') + "\\", kFolder}, {std::string(100, 'd') + "\\" + std::string(137, 'f'), 4}}},
      {"good-link-attributes", InstallOutcome::Installed, {{"link", 17}}},
  };
  return cases;
}

std::wstring Wide(const std::string& text) { return ui::AnsiToWide(text); }

struct FileState {
  std::int64_t size;
  std::uint64_t written;
  bool operator==(const FileState&) const = default;
};

// Everything below `folder` (ending in '\'): relative path -> size and time
// of the last write. Folders end in '\' and have the size kFolder.
void Walk(const std::string& folder, const std::string& relative, std::map<std::string, FileState>& into) {
  WIN32_FIND_DATAW found{};
  HANDLE search = FindFirstFileW(Wide(folder + relative + "*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return;
  do {
    const std::wstring name = found.cFileName;
    if (name == L"." || name == L"..") continue;
    const std::uint64_t written =
        (std::uint64_t{found.ftLastWriteTime.dwHighDateTime} << 32) | found.ftLastWriteTime.dwLowDateTime;
    const std::string path = relative + ui::WideToAnsi(name);
    if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
      into[path + "\\"] = {kFolder, written};
      Walk(folder, path + "\\", into);
    } else {
      into[path] = {static_cast<std::int64_t>((std::uint64_t{found.nFileSizeHigh} << 32) | found.nFileSizeLow),
                    written};
    }
  } while (FindNextFileW(search, &found));
  FindClose(search);
}

std::map<std::string, FileState> Tree(const std::string& folder) {
  std::map<std::string, FileState> tree;
  Walk(folder, "", tree);
  return tree;
}

// D: but for the target and the archives.
std::map<std::string, FileState> OutsideOnD() {
  std::map<std::string, FileState> outside;
  for (const auto& [path, state] : Tree("D:\\"))
    if (path.rfind("Nimbo\\", 0) != 0 && path.rfind("archives\\", 0) != 0) outside[path] = state;
  return outside;
}

// The paths that differ between two snapshots, for the failure message.
std::string Changes(const std::map<std::string, FileState>& before, const std::map<std::string, FileState>& after) {
  std::string changes;
  for (const auto& [path, state] : after) {
    const auto was = before.find(path);
    if (was == before.end() || !(was->second == state)) changes += "\n  " + path;
  }
  for (const auto& [path, state] : before)
    if (after.find(path) == after.end()) changes += "\n  gone: " + path;
  return changes;
}

std::map<std::string, std::int64_t> Sizes(const std::string& folder) {
  std::map<std::string, std::int64_t> sizes;
  for (const auto& [path, state] : Tree(folder)) {
    if (path != "uninstall.list") sizes[path] = state.size;
  }
  return sizes;
}

void RemoveTree(const std::string& folder) {
  for (const auto& [path, state] : Tree(folder)) {
    if (state.size != kFolder) {
      MakeAttributesNormal(folder + path);
      DeleteFileW(Wide(folder + path).c_str());
    }
  }
  // Deepest folders first: a folder's path sorts before its contents.
  std::map<std::string, FileState> tree = Tree(folder);
  for (auto it = tree.rbegin(); it != tree.rend(); ++it) RemoveDirectoryW(Wide(folder + it->first).c_str());
  RemoveDirectoryW(Wide(folder).c_str());
}

void PutFile(const std::string& path, const std::string& bytes) {
  ASSERT_TRUE(WriteWholeFile(path, bytes.data(), bytes.size())) << path;
}

struct Extraction {
  std::string archive;
  InstallOutcome outcome = InstallOutcome::Cancelled;
};

DWORD WINAPI Extract(void* argument) {
  auto* extraction = static_cast<Extraction*>(argument);
  FileSource archive(extraction->archive);
  Installation installation;
  PipelineSteps steps;
  steps.payload = &archive;
  installation.Choose(ui::AnsiToWide(kTarget));
  extraction->outcome = RunInstallation(installation, steps);
  return 0;
}

// The extraction on a thread of its own: a call that does not return in
// time fails the test and ends the program, which cannot take the thread
// back.
Extraction ExtractWithin(const std::string& archive, DWORD boundMs) {
  Extraction extraction{archive};
  HANDLE thread = CreateThread(nullptr, 0, Extract, &extraction, 0, nullptr);
  if (thread == nullptr) {
    ADD_FAILURE() << "no thread";
    return extraction;
  }
  if (WaitForSingleObject(thread, boundMs) != WAIT_OBJECT_0) {
    std::fprintf(stderr, "The installation of %s did not return within %lu ms\n", archive.c_str(), boundMs);
    std::fflush(stderr);
    TerminateProcess(GetCurrentProcess(), 3);
  }
  CloseHandle(thread);
  return extraction;
}

std::string SourceFolder() {
  const char* folder = std::getenv("HOSTILE_ARCHIVES");
  return folder != nullptr ? WithTrailingBackslash(folder) : std::string();
}

TEST(HostileArchives, EveryArchiveOfTheCorpusHasItsExpectation) {
  ASSERT_FALSE(SourceFolder().empty()) << "HOSTILE_ARCHIVES is not set";
  std::set<std::string> expected, present;
  for (const Expected& c : Cases()) expected.insert(std::string(c.archive) + ".zip");
  for (const auto& [path, state] : Tree(SourceFolder())) present.insert(path);
  EXPECT_EQ(present, expected);
}

TEST(HostileArchives, ExtractOnlyIntoTheTargetAndOnlyWhenSafe) {
  const std::string source = SourceFolder();
  ASSERT_FALSE(source.empty()) << "HOSTILE_ARCHIVES is not set";
  ASSERT_TRUE(Tree("D:\\").empty()) << "D: must be a fresh, empty folder for this test";
  // Bait beside the target: a folder whose name starts like it, and a file
  // of the user's.
  ASSERT_TRUE(CreateFolderTree("D:\\Nimbo2\\") && CreateFolderTree("D:\\Keep\\") && CreateFolderTree(kArchives));
  PutFile("D:\\Nimbo2\\keep.txt", "keep");
  PutFile("D:\\Keep\\mine.txt", "mine");

  // Wine lists the prefix's folders slowly (about 10 s for the users'
  // folders): they are compared once over all the archives, D: after each.
  const auto users = Tree("C:\\users\\");
  for (const Expected& c : Cases()) {
    SCOPED_TRACE(c.archive);
    RemoveTree(kTarget);
    const std::string archive = std::string(kArchives) + c.archive + ".zip";
    ASSERT_TRUE(CopyFileW(Wide(source + c.archive + ".zip").c_str(), Wide(archive).c_str(), FALSE));
    const auto before = OutsideOnD();

    const Extraction extraction = ExtractWithin(archive, kExtractionBoundMs);

    EXPECT_EQ(extraction.outcome, c.outcome);
    EXPECT_EQ(Sizes(kTarget), c.files) << "what the target folder holds";
    EXPECT_EQ(GetFileAttributesW(L"D:\\Nimbo") != INVALID_FILE_ATTRIBUTES, c.outcome == InstallOutcome::Installed)
        << "a failed installation takes its folder away again";
    DeleteRegistryTree(kLocalMachine, kUninstallKey);
    EXPECT_EQ(Changes(before, OutsideOnD()), "") << "changed on D: outside the target folder";
    DeleteFileW(Wide(archive).c_str());
  }
  RemoveTree(kTarget);
  EXPECT_EQ(Changes(users, Tree("C:\\users\\")), "") << "changed in the users' folders";
}

}  // namespace
}  // namespace setup
