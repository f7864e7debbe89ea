#pragma once

#include <cstdint>

namespace setup {

// The record in the program's constant data that names its payload: the
// build attaches the product archive after the program's last section and
// writes the archive's size and SHA-256 here (tools/attach-payload.py). The
// installer reads the payload from its own file and takes it only when its
// bytes have this size and hash: whatever the file on disk has become
// meanwhile, what it extracts is what was built into it.
struct PayloadSeal {
  char magic[24];
  std::uint64_t size;
  std::uint8_t sha256[32];
};

// Read through a volatile access: the build changes it after compiling.
PayloadSeal ReadPayloadSeal();

}  // namespace setup
