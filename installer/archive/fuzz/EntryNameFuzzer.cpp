// Any bytes as an entry name (code page 936, or UTF-8 as an archive may
// flag it): the path built for it, its case folding and its conversion.
#include <algorithm>
#include <limits>
#include <optional>
#include <string>
#include <string_view>

#include "installer/archive/NameConversion.h"
#include "installer/archive/fuzz/PathChecks.h"
#include "product/record/EntryName.h"

namespace {

using setup::fuzz::Check;

std::size_t CharacterCount(std::string_view text) {
  std::size_t count = 0;
  for (std::size_t at = 0; at < text.size(); ++count) at += std::max<std::size_t>(1, setup::Cp936CharLength(text, at));
  return count;
}

}  // namespace

// Byte 0: bit 0 a folder entry, bit 1 a UTF-8 name. Byte 1: the longest
// path allowed, less 8 (so -8 to 247). The rest: the name.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 2) return 0;
  const bool isFolder = (data[0] & 1) != 0;
  const bool utf8 = (data[0] & 2) != 0;
  const int maxUnits = static_cast<int>(data[1]) - 8;
  std::string name(reinterpret_cast<const char*>(data + 2), size - 2);
  if (utf8) {
    const std::optional<std::string> converted = setup::Utf8ToCp936(name);
    if (!converted) return 0;
    Check(setup::IsValidCp936(*converted), "a converted name is code page 936 text");
    // The uninstaller's record holds the name in UTF-8: the two readers
    // must come to the same answer about it.
    const bool recordFolder = !name.empty() && name.back() == '/';
    Check(record::CheckRecordPath(name) ==
              setup::BuildEntryPath(*converted, recordFolder, std::numeric_limits<int>::max()).problem,
          "the record reader and the archive reader agree");
    name = *converted;
  }

  const setup::EntryPathResult result = setup::BuildEntryPath(name, isFolder, maxUnits);
  if (result.problem != setup::NameProblem::kNone) {
    Check(result.path.empty(), "a refused name has no path");
  } else {
    const std::string& path = result.path;
    Check(path.size() == name.size(), "the path is the name, separators turned");
    for (std::size_t i = 0; i < name.size(); ++i)
      Check(path[i] == name[i] || (name[i] == '/' && path[i] == '\\'), "the path is the name, separators turned");
    setup::fuzz::CheckPath(path, isFolder);
    Check(maxUnits >= 0 && CharacterCount(path) <= static_cast<std::size_t>(maxUnits), "the path fits the limit");
  }

  const std::string folded = setup::Cp936FoldCase(name);
  Check(folded.size() == name.size(), "folding keeps the length");
  Check(setup::Cp936FoldCase(folded) == folded, "folding twice changes nothing more");
  Check(setup::IsValidCp936(folded) == setup::IsValidCp936(name), "folding keeps the characters whole");
  Check(setup::EndsWithBackslash(folded) == setup::EndsWithBackslash(name), "folding keeps a final separator");
  Check(setup::BuildEntryPath(folded, isFolder, maxUnits).problem == result.problem,
        "letter case does not change whether a name is safe");
  return 0;
}
