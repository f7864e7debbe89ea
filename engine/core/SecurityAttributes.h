#pragma once

#include "Win32.h"

namespace ui {

// Security attributes for a new file or folder, from a security descriptor
// written in Windows' SDDL; released with the object. get() is null when
// the descriptor could not be made, which gives the default security.
class SecurityAttributes {
 public:
  explicit SecurityAttributes(const wchar_t* sddl);
  SecurityAttributes(const SecurityAttributes&) = delete;
  SecurityAttributes& operator=(const SecurityAttributes&) = delete;
  ~SecurityAttributes();

  SECURITY_ATTRIBUTES* get() { return attributes_.lpSecurityDescriptor != nullptr ? &attributes_ : nullptr; }

 private:
  SECURITY_ATTRIBUTES attributes_{};
};

// A folder of the installation: Administrators and SYSTEM may do anything,
// Users read and run; nothing is inherited from above, and what is made in
// it inherits this.
inline constexpr wchar_t kInstallationFolderSddl[] = L"D:P(A;OICI;FA;;;BA)(A;OICI;FA;;;SY)(A;OICI;0x1200a9;;;BU)";
// A file of the installation: the same rights as its folder, given to the
// file itself whatever the folder it lands in passes on.
inline constexpr wchar_t kInstallationFileSddl[] = L"D:P(A;;FA;;;BA)(A;;FA;;;SY)(A;;0x1200a9;;;BU)";
// A folder only Administrators and SYSTEM may open at all.
inline constexpr wchar_t kAdministratorsOnlySddl[] = L"D:P(A;OICI;FA;;;BA)(A;OICI;FA;;;SY)";

}  // namespace ui
