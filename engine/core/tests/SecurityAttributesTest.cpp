#include "engine/core/SecurityAttributes.h"

#include <gtest/gtest.h>

#include <vector>

namespace ui {
namespace {

struct Entry {
  WELL_KNOWN_SID_TYPE who;
  ACCESS_MASK rights;
};

// The descriptor's access list, entry by entry: allowed, inherited by
// folders and files below, for the well-known account with these rights;
// and protected from what the parent folder passes on.
void ExpectAccess(const wchar_t* sddl, const std::vector<Entry>& expected) {
  SecurityAttributes attributes(sddl);
  ASSERT_NE(attributes.get(), nullptr) << sddl;
  auto* descriptor = static_cast<PSECURITY_DESCRIPTOR>(attributes.get()->lpSecurityDescriptor);
  SECURITY_DESCRIPTOR_CONTROL control = 0;
  DWORD revision = 0;
  ASSERT_TRUE(GetSecurityDescriptorControl(descriptor, &control, &revision));
  EXPECT_TRUE(control & SE_DACL_PROTECTED) << "nothing is inherited from above";
  BOOL present = FALSE, defaulted = FALSE;
  PACL list = nullptr;
  ASSERT_TRUE(GetSecurityDescriptorDacl(descriptor, &present, &list, &defaulted));
  ASSERT_TRUE(present && list != nullptr);
  ASSERT_EQ(list->AceCount, expected.size()) << sddl;
  for (DWORD i = 0; i < list->AceCount; ++i) {
    void* raw = nullptr;
    ASSERT_TRUE(GetAce(list, i, &raw));
    auto* entry = static_cast<ACCESS_ALLOWED_ACE*>(raw);
    EXPECT_EQ(entry->Header.AceType, ACCESS_ALLOWED_ACE_TYPE);
    EXPECT_EQ(entry->Header.AceFlags, OBJECT_INHERIT_ACE | CONTAINER_INHERIT_ACE);
    EXPECT_EQ(entry->Mask, expected[i].rights) << "entry " << i;
    BYTE sid[SECURITY_MAX_SID_SIZE] = {};
    DWORD size = sizeof sid;
    ASSERT_TRUE(CreateWellKnownSid(expected[i].who, nullptr, sid, &size));
    EXPECT_TRUE(EqualSid(&entry->SidStart, sid)) << "entry " << i;
  }
}

TEST(SecurityAttributes, InstallationFoldersAreTheAdministratorsAndUsersOnlyRunThem) {
  ExpectAccess(kInstallationFolderSddl, {{WinBuiltinAdministratorsSid, FILE_ALL_ACCESS},
                                         {WinLocalSystemSid, FILE_ALL_ACCESS},
                                         {WinBuiltinUsersSid, FILE_GENERIC_READ | FILE_GENERIC_EXECUTE}});
  ExpectAccess(kAdministratorsOnlySddl,
               {{WinBuiltinAdministratorsSid, FILE_ALL_ACCESS}, {WinLocalSystemSid, FILE_ALL_ACCESS}});
}

}  // namespace
}  // namespace ui
