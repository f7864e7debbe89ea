#include "PayloadPlan.h"

#include <algorithm>
#include <array>

namespace uninstall {
namespace {

constexpr std::wstring_view kForbidden = L"\\:*?\"<>|";
constexpr std::array<std::wstring_view, 4> kDevices = {L"CON", L"PRN", L"AUX", L"NUL"};

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

// "NUL", "nul.txt", "COM1" and the like open a device, not a file.
bool IsDeviceName(std::wstring_view level) {
  const std::wstring stem = AsciiUpper(level.substr(0, level.find(L'.')));
  if (std::find(kDevices.begin(), kDevices.end(), stem) != kDevices.end()) return true;
  return stem.size() == 4 && (stem.starts_with(L"COM") || stem.starts_with(L"LPT")) && stem[3] >= L'1' &&
         stem[3] <= L'9';
}

std::wstring LevelProblem(std::wstring_view level) {
  if (level.empty()) return L"an empty level";
  if (level == L"." || level == L"..") return L"a \".\" or \"..\" level";
  for (wchar_t ch : level) {
    if (ch < 32 || kForbidden.find(ch) != std::wstring_view::npos) return L"a character Windows does not allow";
  }
  // Windows drops a trailing dot or space: "config." would be "config".
  if (level.back() == L'.' || level.back() == L' ') return L"a level ending in a dot or space";
  if (IsDeviceName(level)) return L"a device name";
  return {};
}

std::size_t Depth(const std::wstring& path) { return std::count(path.begin(), path.end(), L'\\'); }

}  // namespace

std::wstring EntryProblem(std::wstring_view entry) {
  if (entry.empty()) return L"empty";
  if (entry.front() == L'/') return L"absolute";
  if (entry.back() == L'/') entry.remove_suffix(1);
  for (std::wstring_view level : SplitLevels(entry, L'/')) {
    std::wstring problem = LevelProblem(level);
    if (!problem.empty()) return problem;
  }
  return {};
}

std::wstring ListProblem(std::span<const wchar_t* const> entries) {
  if (entries.empty()) return L"the list is empty";
  std::vector<std::wstring> seen;
  for (const wchar_t* entry : entries) {
    const std::wstring name = entry != nullptr ? entry : L"";
    const std::wstring problem = EntryProblem(name);
    if (!problem.empty()) return name + L": " + problem;
    std::wstring key = AsciiUpper(name);
    if (key.back() == L'/') key.pop_back();
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
    const bool drive = rest.size() >= 2 && AsciiUpper(rest[0]) >= L'A' && AsciiUpper(rest[0]) <= L'Z' && rest[1] == L':';
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
