#pragma once

#include <cstddef>

#include "installer/archive/EntryPath.h"
#include "installer/archive/ZipReader.h"

namespace setup {

enum class SafetyProblem {
  kNone,
  kNotOpen,          // the reader holds no archive
  kUnsafeName,       // BuildEntryPath refuses the entry's name (see nameProblem)
  kDuplicateName,    // two entries name the same path, in any letter case
  kFileFolderClash,  // a file entry's path is also a folder: a folder entry's, or a parent of another entry
};

// A short English description, for logs and test messages.
const char* SafetyProblemText(SafetyProblem problem);

// The first problem found: names and duplicates in entry order, then the
// parent folders of each entry.
struct SafetyReport {
  SafetyProblem problem = SafetyProblem::kNone;
  std::size_t entry = 0;       // the entry found unsafe
  std::size_t otherEntry = 0;  // for a duplicate or a clash: the entry it collides with
  NameProblem nameProblem = NameProblem::kNone;

  bool Safe() const { return problem == SafetyProblem::kNone; }
};

// Checks every entry of an opened archive before anything is written: each
// name must pass BuildEntryPath, and the paths must name distinct files and
// folders as Windows compares names (letter case ignored), with no file
// where another entry needs a folder. Trailing separators do not count: "a/"
// and "A" are the same name.
SafetyReport ArchiveSafety(const ZipReader& reader, int maxUnits = kMaxRelativePathUnits);

}  // namespace setup
