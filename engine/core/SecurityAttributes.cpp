#include "SecurityAttributes.h"

#include <sddl.h>

namespace ui {

SecurityAttributes::SecurityAttributes(const wchar_t* sddl) {
  attributes_.nLength = sizeof attributes_;
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  if (ConvertStringSecurityDescriptorToSecurityDescriptorW(sddl, SDDL_REVISION_1, &descriptor, nullptr)) {
    attributes_.lpSecurityDescriptor = descriptor;
  }
}

SecurityAttributes::~SecurityAttributes() {
  if (attributes_.lpSecurityDescriptor != nullptr) LocalFree(attributes_.lpSecurityDescriptor);
}

}  // namespace ui
