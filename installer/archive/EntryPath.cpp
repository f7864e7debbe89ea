#include "EntryPath.h"

#include <algorithm>
#include <vector>

#include "installer/archive/Cp936Text.h"

namespace setup {
namespace {

// A name's characters, each one or two bytes (a byte that is no character
// stands alone; BuildEntryPath refuses such names first).
std::vector<std::string_view> Characters(std::string_view text) {
  std::vector<std::string_view> characters;
  for (std::size_t at = 0; at < text.size();) {
    const std::size_t length = std::max<std::size_t>(1, Cp936CharLength(text, at));
    characters.push_back(text.substr(at, length));
    at += length;
  }
  return characters;
}

// The characters as the shared rules take them: ASCII as it is, the euro
// sign and every double-byte character as a value above ASCII (the rules
// give those no meaning, and each is one UTF-16 unit). A second byte that
// looks like '\\' or '~' is part of its character, not one of its own.
std::u32string RuleCharacters(const std::vector<std::string_view>& characters) {
  constexpr char32_t kOther = 0x4E00;
  std::u32string points;
  points.reserve(characters.size());
  for (std::string_view character : characters) {
    const auto byte = static_cast<unsigned char>(character[0]);
    points.push_back(character.size() == 1 && byte < 0x80 ? char32_t{byte} : kOther);
  }
  return points;
}

}  // namespace

EntryPathResult BuildEntryPath(std::string_view name, bool isFolder, int maxUnits) {
  if (name.empty()) return {NameProblem::kEmpty, {}};
  if (!IsValidCp936(name)) return {NameProblem::kInvalidEncoding, {}};
  const std::vector<std::string_view> characters = Characters(name);
  const NameProblem problem = record::CheckEntryName(RuleCharacters(characters), isFolder, maxUnits < 0 ? 0 : maxUnits);
  if (problem != NameProblem::kNone) return {problem, {}};
  EntryPathResult result;
  result.path.reserve(name.size());
  for (std::string_view character : characters) {
    if (character == "/") result.path += '\\';
    else result.path += character;
  }
  return result;
}

EntryPathResult BuildEntryPath(const ZipEntry& entry, int maxUnits) {
  if (!entry.nameDecoded) return {NameProblem::kUndecodable, {}};
  return BuildEntryPath(entry.name, entry.isFolder, maxUnits);
}

bool EndsWithBackslash(std::string_view path) {
  std::size_t last = 0;
  std::size_t lastLength = 0;
  for (std::size_t at = 0; at < path.size(); at += lastLength) {
    last = at;
    lastLength = Cp936CharLength(path, at);
    if (lastLength == 0) lastLength = 1;
  }
  return lastLength == 1 && path[last] == '\\';
}

}  // namespace setup
