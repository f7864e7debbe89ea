#pragma once

#include <optional>
#include <string>
#include <vector>

#include "PayloadPlan.h"

namespace uninstall {

struct RemovalReport {
  int removed = 0;
  // Payload items that are still there because removing them failed (a
  // file in use, no rights), relative to the product folder.
  std::vector<std::wstring> failed;
  // Payload paths left alone on purpose: a folder that still holds
  // something the payload did not put there, a file the user replaced by a
  // folder or a folder replaced by a file, and anything reached through a
  // link, which may lead out of the product folder.
  std::vector<std::wstring> kept;
  // The product folder itself is a link (or a junction, or a mount point):
  // everything was kept.
  bool folderIsLink = false;
  // The registry entry or the desktop shortcut belongs to another
  // installation of Nimbo (or is no shortcut of this one): left alone.
  bool otherInstallation = false;

  bool Complete() const { return failed.empty(); }
};

// Carries out the steps inside `folder` (a full path without a trailing
// separator): files are deleted, read-only ones too; folders are removed
// only when empty. Items already gone count as neither removed nor failed.
// Each item is opened by handle and checked right before it is deleted
// through that handle: of the kind the payload put there, no link,
// junction or mount point, and, with every link on the way followed, still
// inside the product folder. Anything else is left in place (kept).
RemovalReport RemovePayload(const std::wstring& folder, const std::vector<RemovalStep>& steps);

// The product folder's path with every link followed, when the folder
// itself is a real folder and no link; nothing otherwise.
std::optional<std::wstring> ProductFolderFinalPath(const std::wstring& folder);

// Removes the product folder once it is empty, checked as an item is;
// false when it stays.
bool RemoveEmptyProductFolder(const std::wstring& folder);

// Deletes the file at `path`. Windows may hold a program's file for a
// moment after its process has ended, so a refused delete is tried again
// until `patienceMs` have passed. True when the file is gone.
bool DeleteFileWithPatience(const std::wstring& path, unsigned patienceMs);

}  // namespace uninstall
