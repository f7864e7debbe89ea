#pragma once

#include <optional>
#include <string>
#include <vector>

namespace setup {

// A registry key's values as they were before an installation wrote to it,
// so that a failed installation leaves the key as it found it: a key it
// made goes again, a key that was there (an earlier installation's) gets
// its own values back. Subkeys are not touched by the installation and not
// kept.
class RegistrySnapshot {
 public:
  // Reads the key's values (root numbers as in Registry.h).
  static RegistrySnapshot Take(int root, const std::string& key);

  bool KeyExisted() const { return existed_; }
  // Puts the key back as it was: deleted when it did not exist, else every
  // value of it rewritten and every value that was not there removed. True
  // when it is as it was.
  bool Restore() const;

 private:
  struct Value {
    std::wstring name;
    unsigned long type = 0;
    std::vector<unsigned char> data;
  };
  int root_ = 0;
  std::wstring key_;
  bool existed_ = false;
  std::vector<Value> values_;
};

}  // namespace setup
