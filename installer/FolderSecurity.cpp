#include "FolderSecurity.h"

#include <aclapi.h>
#include <sddl.h>

#include <memory>
#include <vector>

#include "engine/core/SecurityAttributes.h"
#include "installer/archive/FolderAccess.h"

namespace setup {
namespace {

constexpr wchar_t kTrustedInstaller[] = L"S-1-5-80-956008885-3418522649-1831038044-1853292631-2271478464";

struct LocalFreeDeleter {
  void operator()(void* memory) const { LocalFree(memory); }
};

// The installing account, from the process's token.
std::vector<unsigned char> ProcessUser() {
  HANDLE token = nullptr;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) return {};
  DWORD size = 0;
  GetTokenInformation(token, TokenUser, nullptr, 0, &size);
  std::vector<unsigned char> user(size);
  const bool read = size > 0 && GetTokenInformation(token, TokenUser, user.data(), size, &size);
  CloseHandle(token);
  if (!read) return {};
  const PSID sid = reinterpret_cast<TOKEN_USER*>(user.data())->User.Sid;
  return std::vector<unsigned char>(static_cast<unsigned char*>(sid),
                                    static_cast<unsigned char*>(sid) + GetLengthSid(sid));
}

std::wstring SidText(PSID sid) {
  wchar_t* text = nullptr;
  if (!ConvertSidToStringSidW(sid, &text)) return L"?";
  const std::unique_ptr<wchar_t, LocalFreeDeleter> owned(text);
  return text;
}

Trustee Classify(PSID sid, const std::vector<unsigned char>& user) {
  if (IsWellKnownSid(sid, WinBuiltinAdministratorsSid) || IsWellKnownSid(sid, WinLocalSystemSid)) {
    return Trustee::kTrusted;
  }
  if (!user.empty() && EqualSid(sid, const_cast<unsigned char*>(user.data()))) return Trustee::kTrusted;
  if (IsWellKnownSid(sid, WinCreatorOwnerRightsSid)) return Trustee::kOwnerRights;
  return SidText(sid) == kTrustedInstaller ? Trustee::kTrusted : Trustee::kOther;
}

}  // namespace

FolderTrust ReadFolderTrust(HANDLE folder, std::wstring* who) {
  PSID owner = nullptr;
  PACL list = nullptr;
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  if (GetSecurityInfo(folder, SE_FILE_OBJECT, OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION, &owner, nullptr,
                      &list, nullptr, &descriptor) != ERROR_SUCCESS) {
    return FolderTrust::kUnknown;
  }
  const std::unique_ptr<void, LocalFreeDeleter> owned(descriptor);
  if (owner == nullptr) return FolderTrust::kUnknown;
  const std::vector<unsigned char> user = ProcessUser();
  const Trustee ownerKind = Classify(owner, user);
  if (ownerKind != Trustee::kTrusted) *who = SidText(owner) + L" (owner)";

  std::vector<AccessEntry> entries;
  for (DWORD index = 0; list != nullptr && index < list->AceCount; ++index) {
    ACE_HEADER* header = nullptr;
    if (!GetAce(list, index, reinterpret_cast<void**>(&header))) return FolderTrust::kUnknown;
    AccessEntry entry;
    entry.inheritOnly = (header->AceFlags & INHERIT_ONLY_ACE) != 0;
    switch (header->AceType) {
      case ACCESS_ALLOWED_ACE_TYPE:
      case ACCESS_DENIED_ACE_TYPE: {
        // Both share one layout: header, mask, then the account.
        auto* ace = reinterpret_cast<ACCESS_ALLOWED_ACE*>(header);
        const PSID sid = &ace->SidStart;
        entry.allow = header->AceType == ACCESS_ALLOWED_ACE_TYPE;
        entry.mask = ace->Mask;
        entry.trustee = Classify(sid, user);
        if (entry.allow && !entry.inheritOnly && entry.trustee == Trustee::kOther && (entry.mask & kChangeRights) &&
            who->empty()) {
          *who = SidText(sid);
        }
        break;
      }
      default:
        // An entry of another kind (conditional, object): not understood,
        // so counted as letting anyone change anything.
        entry.allow = true;
        entry.mask = kChangeRights;
        entry.trustee = Trustee::kOther;
        if (!entry.inheritOnly && who->empty()) *who = L"an access entry of type " + std::to_wstring(header->AceType);
        break;
    }
    entries.push_back(entry);
  }
  return OthersMayChange(ownerKind, list != nullptr, entries) ? FolderTrust::kOthersMayChange
                                                              : FolderTrust::kOnlyAdministrators;
}

bool ProtectFolder(HANDLE folder, DWORD* error) {
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  if (!ConvertStringSecurityDescriptorToSecurityDescriptorW(ui::kInstallationFolderSddl, SDDL_REVISION_1, &descriptor,
                                                            nullptr)) {
    *error = GetLastError();
    return false;
  }
  const std::unique_ptr<void, LocalFreeDeleter> owned(descriptor);
  BOOL present = FALSE, defaulted = FALSE;
  PACL list = nullptr;
  GetSecurityDescriptorDacl(descriptor, &present, &list, &defaulted);
  unsigned char administrators[SECURITY_MAX_SID_SIZE];
  DWORD size = sizeof administrators;
  if (!CreateWellKnownSid(WinBuiltinAdministratorsSid, nullptr, administrators, &size)) {
    *error = GetLastError();
    return false;
  }
  // The owner first: the owner may always rewrite the permissions.
  *error =
      SetSecurityInfo(folder, SE_FILE_OBJECT, OWNER_SECURITY_INFORMATION, administrators, nullptr, nullptr, nullptr);
  if (*error != ERROR_SUCCESS) return false;
  *error = SetSecurityInfo(folder, SE_FILE_OBJECT, DACL_SECURITY_INFORMATION | PROTECTED_DACL_SECURITY_INFORMATION,
                           nullptr, nullptr, list, nullptr);
  return *error == ERROR_SUCCESS;
}

}  // namespace setup
