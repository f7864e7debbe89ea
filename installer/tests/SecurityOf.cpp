// Prints the owner and the access list of a file or folder in SDDL, as
// Windows reads them back, for a test to compare.
// Usage: security_of.exe PATH
#include <windows.h>
#include <aclapi.h>
#include <sddl.h>

#include <cstdio>

int wmain(int argc, wchar_t** argv) {
  if (argc != 2) return 2;
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  const SECURITY_INFORMATION wanted = OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION;
  if (GetNamedSecurityInfoW(argv[1], SE_FILE_OBJECT, wanted, nullptr, nullptr, nullptr, nullptr, &descriptor) !=
      ERROR_SUCCESS) {
    return 1;
  }
  wchar_t* text = nullptr;
  if (!ConvertSecurityDescriptorToStringSecurityDescriptorW(descriptor, SDDL_REVISION_1, wanted, &text, nullptr)) {
    LocalFree(descriptor);
    return 1;
  }
  std::printf("%ls\n", text);
  LocalFree(text);
  LocalFree(descriptor);
  return 0;
}
