#include "EntryPath.h"

#include <algorithm>
#include <vector>

#include "installer/archive/Cp936Text.h"

namespace setup {
namespace {

bool IsSeparator(std::string_view character) { return character == "/" || character == "\\"; }

bool IsAsciiLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

char Upper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (Upper(a[i]) != Upper(b[i])) return false;
  return true;
}

bool IsForbidden(std::string_view character) {
  if (character.size() != 1) return false;
  const auto c = static_cast<unsigned char>(character[0]);
  return c < 0x20 || c == '<' || c == '>' || c == '"' || c == '|' || c == '?' || c == '*';
}

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

// Windows opens a device for these names in any folder, whatever follows the
// first dot, and with spaces before that dot ("con .txt").
bool IsReservedDevice(std::string_view segment) {
  std::string_view base = segment.substr(0, segment.find('.'));
  while (!base.empty() && base.back() == ' ') base.remove_suffix(1);
  for (std::string_view device : {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$"})
    if (EqualsIgnoringCase(base, device)) return true;
  return base.size() == 4 &&
         (EqualsIgnoringCase(base.substr(0, 3), "COM") || EqualsIgnoringCase(base.substr(0, 3), "LPT")) &&
         IsDigit(base[3]);
}

// "PROGRA~1", "LONGF~12.TXT": on a volume with 8.3 names such a name may
// open another entry's file by its generated short name. The '~' must be a
// character of its own ('~' is also a second byte).
bool HasShortNameForm(std::string_view segment) {
  const std::size_t dot = segment.find('.');
  const std::string_view base = segment.substr(0, dot);
  if (dot != std::string_view::npos) {
    const std::string_view extension = segment.substr(dot + 1);
    if (extension.size() > 3 || extension.find('.') != std::string_view::npos) return false;
  }
  if (base.size() > 8) return false;
  std::size_t tilde = std::string_view::npos;
  for (std::size_t at = 0; at < base.size(); at += std::max<std::size_t>(1, Cp936CharLength(base, at)))
    if (base[at] == '~') tilde = at;
  if (tilde == std::string_view::npos || tilde == 0 || tilde + 1 == base.size()) return false;
  for (char c : base.substr(tilde + 1))
    if (!IsDigit(c)) return false;
  return true;
}

NameProblem CheckSegment(std::string_view segment) {
  if (segment.empty()) return NameProblem::kEmptySegment;
  if (segment == "..") return NameProblem::kParentSegment;
  // Neither ' ' nor '.' can be the second byte of a character.
  if (segment.back() == ' ' || segment.back() == '.') return NameProblem::kTrailingSpaceOrDot;
  if (IsReservedDevice(segment)) return NameProblem::kReservedDevice;
  if (HasShortNameForm(segment)) return NameProblem::kShortNameForm;
  return NameProblem::kNone;
}

NameProblem CheckName(std::string_view name, const std::vector<std::string_view>& characters, bool isFolder,
                      int maxUnits) {
  if (characters.size() >= 2 && IsSeparator(characters[0]) && IsSeparator(characters[1])) return NameProblem::kUnc;
  if (IsSeparator(characters[0])) return NameProblem::kRooted;
  if (characters.size() >= 2 && characters[0].size() == 1 && IsAsciiLetter(characters[0][0]) && characters[1] == ":")
    return NameProblem::kDriveLetter;
  for (std::string_view character : characters)
    if (character == ":") return NameProblem::kColon;
  for (std::string_view character : characters)
    if (IsForbidden(character)) return NameProblem::kForbiddenCharacter;

  // The segments between separators. A folder's trailing separator ends the
  // name; a file's leaves an empty last segment.
  std::vector<std::string_view> segments;
  std::size_t segmentStart = 0;
  for (std::string_view character : characters) {
    if (!IsSeparator(character)) continue;
    const auto at = static_cast<std::size_t>(character.data() - name.data());
    segments.push_back(name.substr(segmentStart, at - segmentStart));
    segmentStart = at + 1;
  }
  if (!(isFolder && segmentStart == name.size())) segments.push_back(name.substr(segmentStart));
  for (std::string_view segment : segments) {
    const NameProblem problem = CheckSegment(segment);
    if (problem != NameProblem::kNone) return problem;
  }

  if (characters.size() > static_cast<std::size_t>(maxUnits < 0 ? 0 : maxUnits)) return NameProblem::kTooLong;
  return NameProblem::kNone;
}

}  // namespace

const char* NameProblemText(NameProblem problem) {
  switch (problem) {
    case NameProblem::kNone:
      return "safe";
    case NameProblem::kUndecodable:
      return "the UTF-8 name has no code page 936 form";
    case NameProblem::kEmpty:
      return "the name is empty";
    case NameProblem::kInvalidEncoding:
      return "the name is not valid code page 936 text";
    case NameProblem::kUnc:
      return "a UNC path";
    case NameProblem::kRooted:
      return "a rooted path";
    case NameProblem::kDriveLetter:
      return "a drive letter";
    case NameProblem::kColon:
      return "a colon (alternate data stream)";
    case NameProblem::kForbiddenCharacter:
      return "a character Windows forbids in file names";
    case NameProblem::kEmptySegment:
      return "an empty path segment";
    case NameProblem::kParentSegment:
      return "a \"..\" segment";
    case NameProblem::kTrailingSpaceOrDot:
      return "a segment ending in a space or a dot";
    case NameProblem::kReservedDevice:
      return "a reserved device name";
    case NameProblem::kShortNameForm:
      return "a segment shaped like an 8.3 short name";
    case NameProblem::kTooLong:
      return "the path is too long";
  }
  return "unknown problem";
}

EntryPathResult BuildEntryPath(std::string_view name, bool isFolder, int maxUnits) {
  if (name.empty()) return {NameProblem::kEmpty, {}};
  if (!IsValidCp936(name)) return {NameProblem::kInvalidEncoding, {}};
  const std::vector<std::string_view> characters = Characters(name);
  const NameProblem problem = CheckName(name, characters, isFolder, maxUnits);
  if (problem != NameProblem::kNone) return {problem, {}};
  EntryPathResult result;
  result.path.reserve(name.size());
  for (std::string_view character : characters) {
    if (character == "/")
      result.path += '\\';
    else
      result.path += character;
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
