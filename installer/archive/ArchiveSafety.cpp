#include "ArchiveSafety.h"

#include <map>
#include <string>
#include <vector>

#include "installer/archive/Cp936Text.h"

namespace setup {
namespace {

struct PathOwner {
  std::size_t entry;
  bool isFolder;
};

// The entry's path as a key: letter case folded, no trailing separator.
std::string PathKey(const std::string& path) {
  std::string key = Cp936FoldCase(path);
  if (EndsWithBackslash(key)) key.pop_back();
  return key;
}

// The byte lengths of the key's parent folders: "a\b\c" gives 1 and 3.
std::vector<std::size_t> ParentLengths(std::string_view key) {
  std::vector<std::size_t> lengths;
  for (std::size_t at = 0; at < key.size();) {
    const std::size_t length = Cp936CharLength(key, at);
    if (length == 1 && key[at] == '\\') lengths.push_back(at);
    at += length;
  }
  return lengths;
}

}  // namespace

const char* SafetyProblemText(SafetyProblem problem) {
  switch (problem) {
    case SafetyProblem::kNone:
      return "safe";
    case SafetyProblem::kNotOpen:
      return "no archive is open";
    case SafetyProblem::kUnsafeName:
      return "an entry name is unsafe";
    case SafetyProblem::kDuplicateName:
      return "two entries name the same path";
    case SafetyProblem::kFileFolderClash:
      return "a file entry's path is also a folder";
  }
  return "unknown problem";
}

SafetyReport ArchiveSafety(const ZipReader& reader, int maxUnits) {
  SafetyReport report;
  if (!reader.IsOpen()) {
    report.problem = SafetyProblem::kNotOpen;
    return report;
  }

  std::map<std::string, PathOwner> owners;
  std::vector<std::string> keys;
  keys.reserve(reader.EntryCount());
  for (std::size_t i = 0; i < reader.EntryCount(); ++i) {
    const ZipEntry& entry = *reader.Entry(i);
    EntryPathResult path = BuildEntryPath(entry, maxUnits);
    if (path.problem != NameProblem::kNone) {
      report = {SafetyProblem::kUnsafeName, i, i, path.problem};
      return report;
    }
    keys.push_back(PathKey(path.path));
    const auto [owner, added] = owners.emplace(keys.back(), PathOwner{i, entry.isFolder});
    if (!added) {
      report = {
          owner->second.isFolder == entry.isFolder ? SafetyProblem::kDuplicateName : SafetyProblem::kFileFolderClash, i,
          owner->second.entry, NameProblem::kNone};
      return report;
    }
  }

  // Every entry needs its parent folders: none of them may be a file entry.
  for (std::size_t i = 0; i < keys.size(); ++i) {
    for (std::size_t length : ParentLengths(keys[i])) {
      const auto owner = owners.find(keys[i].substr(0, length));
      if (owner != owners.end() && !owner->second.isFolder) {
        report = {SafetyProblem::kFileFolderClash, i, owner->second.entry, NameProblem::kNone};
        return report;
      }
    }
  }
  return report;
}

}  // namespace setup
