#include "installer/archive/FolderAccess.h"

#include <gtest/gtest.h>

#include <vector>

namespace setup {
namespace {

using T = Trustee;

// Masks as Windows writes them for folders.
constexpr std::uint32_t kFullControl = 0x001F01FF;
constexpr std::uint32_t kModify = 0x001301BF;
constexpr std::uint32_t kReadAndRun = 0x001200A9;
constexpr std::uint32_t kAddFileOnly = 0x00000002;
constexpr std::uint32_t kWriteAttributesOnly = 0x00000100;
constexpr std::uint32_t kGenericWrite = 0x40000000;

TEST(FolderAccess, OnlyTheTrustedMayChangeAFolderTheInstallerTakes) {
  struct Case {
    const char* what;
    T owner;
    bool hasList;
    std::vector<AccessEntry> entries;
    bool othersMayChange;
  };
  const Case cases[] = {
      {"the installation's own descriptor",
       T::kTrusted,
       true,
       {{true, false, T::kTrusted, kFullControl},
        {true, false, T::kTrusted, kFullControl},
        {true, false, T::kOther, kReadAndRun}},
       false},
      {"made by a standard user on a data drive",
       T::kOther,
       true,
       {{true, false, T::kTrusted, kFullControl}, {true, false, T::kOther, kModify}},
       true},
      {"owned by a standard user, who may rewrite it",
       T::kOther,
       true,
       {{true, false, T::kTrusted, kFullControl}},
       true},
      {"Authenticated Users may modify",
       T::kTrusted,
       true,
       {{true, false, T::kTrusted, kFullControl}, {true, false, T::kOther, kModify}},
       true},
      {"Everyone may add a file", T::kTrusted, true, {{true, false, T::kOther, kAddFileOnly}}, true},
      {"Everyone may change attributes", T::kTrusted, true, {{true, false, T::kOther, kWriteAttributesOnly}}, true},
      {"generic write", T::kTrusted, true, {{true, false, T::kOther, kGenericWrite}}, true},
      {"no access list: everyone may do anything", T::kTrusted, false, {}, true},
      {"an empty access list: no one may", T::kTrusted, true, {}, false},
      {"users' rights only for what is made inside", T::kTrusted, true, {{true, true, T::kOther, kModify}}, false},
      {"a denying entry counts for nothing",
       T::kTrusted,
       true,
       {{false, false, T::kOther, kModify}, {true, false, T::kOther, kModify}},
       true},
      {"OWNER RIGHTS with a trusted owner", T::kTrusted, true, {{true, false, T::kOwnerRights, kFullControl}}, false},
      {"owned by OWNER RIGHTS itself is no trusted owner", T::kOwnerRights, true, {}, true},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(OthersMayChange(c.owner, c.hasList, c.entries), c.othersMayChange) << c.what;
  }
}

}  // namespace
}  // namespace setup
