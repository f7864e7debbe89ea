#pragma once

#include <optional>
#include <string>
#include <vector>

namespace product {

// A key of HKEY_LOCAL_MACHINE with its values as they were before an
// installation wrote to it, so that a failed installation leaves the key as
// it found it: a key it made goes again, a key that was there (an earlier
// installation's) gets exactly its own values back. Subkeys are not touched
// by the installation and not kept. The journal holds it as fields, so that
// the next run can do the same for a run that was killed.
class RegistrySnapshot {
 public:
  static RegistrySnapshot Take(const std::wstring& key);

  bool KeyExisted() const { return existed_; }
  // Puts the key back as it was: deleted when it did not exist, else every
  // value of it rewritten and every value that was not there removed. True
  // when it is as it was.
  bool Restore() const;

  // The journal's form: "0" for no key, or "1" then, for each value, its
  // name (UTF-8), its type (decimal) and its bytes.
  std::vector<std::string> Fields() const;
  // The snapshot of `key` the fields describe; nothing when they are not
  // of that form.
  static std::optional<RegistrySnapshot> FromFields(const std::wstring& key, const std::vector<std::string>& fields);

 private:
  struct Value {
    std::wstring name;
    unsigned long type = 0;
    std::vector<unsigned char> data;
  };
  std::wstring key_;
  bool existed_ = false;
  std::vector<Value> values_;
};

}  // namespace product
