#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>

namespace setup {

using Sha256Digest = std::array<std::uint8_t, 32>;

// SHA-256 of data given in pieces, by Windows' cryptography (bcrypt, loaded
// from the system folder).
class Sha256 {
 public:
  Sha256();
  ~Sha256();
  Sha256(const Sha256&) = delete;
  Sha256& operator=(const Sha256&) = delete;

  // False when the system offers no SHA-256; nothing else works then.
  bool Ready() const;
  void Add(const void* bytes, std::size_t count);
  // The digest of everything added; nothing when it could not be made.
  bool Finish(Sha256Digest* digest);

 private:
  struct State;
  std::unique_ptr<State> state_;
};

}  // namespace setup
