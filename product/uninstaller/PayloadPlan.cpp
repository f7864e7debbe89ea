#include "PayloadPlan.h"

#include <algorithm>

#include "product/record/EntryName.h"

namespace uninstall {
namespace {

constexpr std::wstring_view kForbidden = L"\\:*?\"<>|";

wchar_t AsciiUpper(wchar_t ch) { return ch >= L'a' && ch <= L'z' ? static_cast<wchar_t>(ch - L'a' + L'A') : ch; }

std::wstring AsciiUpper(std::wstring_view text) {
  std::wstring upper(text);
  std::transform(upper.begin(), upper.end(), upper.begin(), [](wchar_t ch) { return AsciiUpper(ch); });
  return upper;
}

std::vector<std::wstring_view> SplitLevels(std::wstring_view path, wchar_t separator) {
  std::vector<std::wstring_view> levels;
  std::size_t start = 0;
  while (true) {
    const std::size_t end = path.find(separator, start);
    levels.push_back(path.substr(start, end == std::wstring_view::npos ? std::wstring_view::npos : end - start));
    if (end == std::wstring_view::npos) return levels;
    start = end + 1;
  }
}

// The same item's key, whatever the letter case and separators.
std::wstring ItemKey(std::wstring_view entry) {
  std::wstring key = AsciiUpper(entry);
  std::replace(key.begin(), key.end(), L'\\', L'/');
  if (!key.empty() && key.back() == L'/') key.pop_back();
  return key;
}

std::size_t Depth(const std::wstring& path) { return std::count(path.begin(), path.end(), L'\\'); }

}  // namespace

std::wstring EntryProblem(std::wstring_view entry) {
  // UTF-16 units as the rules' characters: only ASCII ones mean anything to
  // them, and a surrogate is no ASCII character.
  const std::u32string characters(entry.begin(), entry.end());
  const bool folder = !entry.empty() && (entry.back() == L'/' || entry.back() == L'\\');
  const record::NameProblem problem = record::CheckEntryName(characters, folder);
  if (problem == record::NameProblem::kNone) return {};
  const std::string_view text = record::NameProblemText(problem);
  return std::wstring(text.begin(), text.end());
}

std::wstring ListProblem(std::span<const wchar_t* const> entries) {
  if (entries.empty()) return L"the list is empty";
  std::vector<std::wstring> seen;
  for (const wchar_t* entry : entries) {
    const std::wstring name = entry != nullptr ? entry : L"";
    const std::wstring problem = EntryProblem(name);
    if (!problem.empty()) return name + L": " + problem;
    std::wstring key = ItemKey(name);
    if (std::find(seen.begin(), seen.end(), key) != seen.end()) return name + L": listed twice";
    seen.push_back(std::move(key));
  }
  return {};
}

std::vector<RemovalStep> RemovalOrder(std::span<const wchar_t* const> entries) {
  std::vector<RemovalStep> files, folders;
  for (const wchar_t* entry : entries) {
    RemovalStep step{entry, false};
    std::replace(step.path.begin(), step.path.end(), L'/', L'\\');
    if (!step.path.empty() && step.path.back() == L'\\') {
      step.path.pop_back();
      step.folder = true;
      folders.push_back(std::move(step));
    } else {
      files.push_back(std::move(step));
    }
  }
  std::stable_sort(folders.begin(), folders.end(),
                   [](const RemovalStep& a, const RemovalStep& b) { return Depth(a.path) > Depth(b.path); });
  files.insert(files.end(), folders.begin(), folders.end());
  return files;
}

FolderVerdict ClassifyFolder(std::wstring_view folder) {
  std::wstring path(folder);
  std::replace(path.begin(), path.end(), L'/', L'\\');
  while (!path.empty() && path.back() == L'\\') path.pop_back();

  // The long-path forms name the same places.
  bool share = false;
  if (path.starts_with(L"\\\\?\\UNC\\")) {
    path.erase(0, 8);
    share = true;
  } else if (path.starts_with(L"\\\\?\\")) {
    path.erase(0, 4);
  } else if (path.starts_with(L"\\\\.\\")) {
    return FolderVerdict::kInvalid;  // a device
  } else if (path.starts_with(L"\\\\")) {
    path.erase(0, 2);
    share = true;
  }

  std::wstring_view rest = path;
  if (!share) {
    const bool drive =
        rest.size() >= 2 && AsciiUpper(rest[0]) >= L'A' && AsciiUpper(rest[0]) <= L'Z' && rest[1] == L':';
    if (!drive) return FolderVerdict::kInvalid;
    if (rest.size() == 2) return FolderVerdict::kRoot;
    if (rest[2] != L'\\') return FolderVerdict::kInvalid;  // "C:folder" is relative to the drive
    rest.remove_prefix(3);
  }
  const std::vector<std::wstring_view> levels = SplitLevels(rest, L'\\');
  for (std::wstring_view level : levels) {
    if (level.empty() || level == L"." || level == L"..") return FolderVerdict::kInvalid;
    for (wchar_t ch : level) {
      if (ch < 32 || kForbidden.find(ch) != std::wstring_view::npos) return FolderVerdict::kInvalid;
    }
  }
  // A share is its server and its name: it needs a third level to be a folder.
  if (share && levels.size() <= 2) return levels.size() == 2 ? FolderVerdict::kRoot : FolderVerdict::kInvalid;
  return FolderVerdict::kUsable;
}

std::wstring FolderOf(std::wstring_view filePath) {
  const std::size_t slash = filePath.find_last_of(L"\\/");
  if (slash == std::wstring_view::npos) return {};
  return std::wstring(filePath.substr(0, slash));
}

}  // namespace uninstall
