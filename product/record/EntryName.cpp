#include "EntryName.h"

#include <optional>
#include <string>

#include "Utf8.h"

namespace record {
namespace {

bool IsSeparator(char32_t c) { return c == U'/' || c == U'\\'; }
bool IsAsciiLetter(char32_t c) { return (c >= U'a' && c <= U'z') || (c >= U'A' && c <= U'Z'); }
bool IsDigit(char32_t c) { return c >= U'0' && c <= U'9'; }
char32_t Upper(char32_t c) { return c >= U'a' && c <= U'z' ? c - U'a' + U'A' : c; }

bool IsForbidden(char32_t c) {
  return c < 0x20 || c == U'<' || c == U'>' || c == U'"' || c == U'|' || c == U'?' || c == U'*';
}

bool EqualsIgnoringCase(std::u32string_view a, std::u32string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (Upper(a[i]) != Upper(b[i])) return false;
  return true;
}

// Windows opens a device for these names in any folder, whatever follows the
// first dot, and with spaces before that dot ("con .txt").
bool IsReservedDevice(std::u32string_view level) {
  std::u32string_view base = level.substr(0, level.find(U'.'));
  while (!base.empty() && base.back() == U' ') base.remove_suffix(1);
  for (std::u32string_view device : {U"CON", U"PRN", U"AUX", U"NUL", U"CONIN$", U"CONOUT$"})
    if (EqualsIgnoringCase(base, device)) return true;
  return base.size() == 4 &&
         (EqualsIgnoringCase(base.substr(0, 3), U"COM") || EqualsIgnoringCase(base.substr(0, 3), U"LPT")) &&
         IsDigit(base[3]);
}

// "PROGRA~1", "LONGF~12.TXT": on a volume with 8.3 names such a name may
// open another item by its generated short name.
bool HasShortNameForm(std::u32string_view level) {
  const std::size_t dot = level.find(U'.');
  const std::u32string_view base = level.substr(0, dot);
  if (dot != std::u32string_view::npos) {
    const std::u32string_view extension = level.substr(dot + 1);
    if (extension.size() > 3 || extension.find(U'.') != std::u32string_view::npos) return false;
  }
  if (base.size() > 8) return false;
  const std::size_t tilde = base.rfind(U'~');
  if (tilde == std::u32string_view::npos || tilde == 0 || tilde + 1 == base.size()) return false;
  for (char32_t c : base.substr(tilde + 1))
    if (!IsDigit(c)) return false;
  return true;
}

NameProblem CheckLevel(std::u32string_view level) {
  if (level.empty()) return NameProblem::kEmptySegment;
  if (level == U"..") return NameProblem::kParentSegment;
  // Windows drops a trailing dot or space: "config." would be "config".
  if (level.back() == U' ' || level.back() == U'.') return NameProblem::kTrailingSpaceOrDot;
  if (IsReservedDevice(level)) return NameProblem::kReservedDevice;
  if (HasShortNameForm(level)) return NameProblem::kShortNameForm;
  return NameProblem::kNone;
}

std::size_t Utf16Units(std::u32string_view name) {
  std::size_t units = 0;
  for (char32_t c : name) units += c > 0xFFFF ? 2 : 1;
  return units;
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
      return "the name is not valid text in its encoding";
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

NameProblem CheckEntryName(std::u32string_view name, bool isFolder, int maxUnits) {
  if (name.empty()) return NameProblem::kEmpty;
  if (name.size() >= 2 && IsSeparator(name[0]) && IsSeparator(name[1])) return NameProblem::kUnc;
  if (IsSeparator(name[0])) return NameProblem::kRooted;
  if (name.size() >= 2 && IsAsciiLetter(name[0]) && name[1] == U':') return NameProblem::kDriveLetter;
  if (name.find(U':') != std::u32string_view::npos) return NameProblem::kColon;
  for (char32_t c : name)
    if (IsForbidden(c)) return NameProblem::kForbiddenCharacter;

  // The levels between separators. A folder's trailing separator ends the
  // name; a file's leaves an empty last level.
  std::size_t start = 0;
  for (std::size_t at = 0; at <= name.size(); ++at) {
    const bool end = at == name.size();
    if (!end && !IsSeparator(name[at])) continue;
    if (end && isFolder && start == name.size()) break;
    const NameProblem problem = CheckLevel(name.substr(start, at - start));
    if (problem != NameProblem::kNone) return problem;
    start = at + 1;
  }

  if (maxUnits != kNoLengthLimit && Utf16Units(name) > static_cast<std::size_t>(maxUnits < 0 ? 0 : maxUnits)) {
    return NameProblem::kTooLong;
  }
  return NameProblem::kNone;
}

NameProblem CheckRecordPath(std::string_view utf8) {
  if (utf8.empty()) return NameProblem::kEmpty;
  const std::optional<std::u32string> points = DecodeUtf8(utf8);
  if (!points) return NameProblem::kInvalidEncoding;
  return CheckEntryName(*points, points->back() == U'/');
}

}  // namespace record
