#pragma once

#include <functional>
#include <string>
#include <vector>

#include "engine/core/Win32.h"

namespace product {

// What the next run does with the journal a killed installation left in a
// product folder's hidden folder: before it changes anything there itself,
// it takes that installation back (the target, the record and the
// Uninstall key as they were before it), or, when it had committed,
// finishes its commit (the files kept aside go). The hidden folder goes
// with its journal.
struct ReplayReport {
  bool found = false;                     // a journal was there
  std::vector<std::wstring> lines;        // one per step, for a log
  std::vector<std::wstring> notRestored;  // items that could not be put back as they were
};

enum class ReplayPurpose {
  kInstall,  // an installation follows: an earlier file that cannot come back stays aside
  kRemove,   // a removal follows: an earlier file that cannot come back goes, as the rest will
};

// `folder`: the product folder (full, with or without a trailing
// backslash). `trusted` is asked of each hidden folder and journal file
// (open with READ_CONTROL) before anything in it is believed: whether no
// one but the machine's administrators may have changed it; null trusts
// the folder's own protection. `uninstallKey`: the key (under
// HKEY_LOCAL_MACHINE) a journal's saved registry values belong to.
ReplayReport ReplayInterrupted(const std::wstring& folder, const std::wstring& uninstallKey, ReplayPurpose purpose,
                               const std::function<bool(HANDLE)>& trusted);

}  // namespace product
