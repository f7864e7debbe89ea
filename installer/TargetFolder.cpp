#include "TargetFolder.h"

#include <vector>

#include "engine/core/Win32.h"
#include "installer/archive/TargetPath.h"

namespace setup {
namespace {

std::wstring FullPath(const std::wstring& typed) {
  std::vector<wchar_t> buffer(MAX_PATH);
  for (;;) {
    const DWORD length = GetFullPathNameW(typed.c_str(), static_cast<DWORD>(buffer.size()), buffer.data(), nullptr);
    if (length == 0) return {};
    if (length < buffer.size()) return std::wstring(buffer.data(), length);
    buffer.resize(length + 1);
  }
}

// "D:\" or "\\server\share\" of a full path.
std::wstring RootOf(const std::wstring& full) {
  if (full.size() >= 3 && full[1] == L':') return full.substr(0, 3);
  std::size_t at = full.find(L'\\', 2);
  at = at == std::wstring::npos ? std::wstring::npos : full.find(L'\\', at + 1);
  return at == std::wstring::npos ? full : full.substr(0, at + 1);
}

}  // namespace

ResolvedTarget ResolveTarget(const std::wstring& chosen, int longestEntryUnits) {
  ResolvedTarget target;
  target.full = FullPath(chosen);
  if (target.full.empty()) {
    target.problem = InstallOutcome::TargetRelative;
    return target;
  }
  if (target.full.back() != L'\\') target.full += L'\\';
  switch (CheckTargetPath(chosen, target.full, longestEntryUnits)) {
    case TargetProblem::kRelative:
      target.problem = InstallOutcome::TargetRelative;
      return target;
    case TargetProblem::kDriveRoot:
      target.problem = InstallOutcome::TargetIsDriveRoot;
      return target;
    case TargetProblem::kTooLong:
      target.problem = InstallOutcome::TargetTooLong;
      return target;
    case TargetProblem::kNone:
      break;
  }
  const std::wstring root = RootOf(target.full);
  const UINT type = GetDriveTypeW(root.c_str());
  if (type == DRIVE_NO_ROOT_DIR || type == DRIVE_UNKNOWN ||
      GetFileAttributesW(root.c_str()) == INVALID_FILE_ATTRIBUTES) {
    target.problem = InstallOutcome::NoSuchDrive;
  }
  return target;
}

bool HasRoomFor(const std::wstring& target, std::uint64_t bytes) {
  // The nearest level that exists tells the drive's free space.
  std::wstring existing = target;
  while (existing.size() > 3 && GetFileAttributesW(existing.c_str()) == INVALID_FILE_ATTRIBUTES) {
    existing.pop_back();
    const std::size_t separator = existing.find_last_of(L'\\');
    if (separator == std::wstring::npos) break;
    existing.resize(separator + 1);
  }
  ULARGE_INTEGER free{};
  // When the free space cannot be told, the writing itself will tell.
  if (!GetDiskFreeSpaceExW(existing.c_str(), &free, nullptr, nullptr)) return true;
  return free.QuadPart >= bytes;
}

}  // namespace setup
