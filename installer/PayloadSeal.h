#pragma once

#include <cstdint>

namespace setup {

// The record in the program's constant data that names its payload: the
// build attaches the product archive after the program's last section,
// followed by the SHA-256 digests of its blocks, and writes here the
// archive's size and SHA-256, the block size and the SHA-256 of the table of
// block digests (tools/attach-payload.py). The installer reads the payload
// from its own file and takes each block only when its bytes have the
// digest the table gives and the table the hash sealed here: whatever the
// file on disk has become meanwhile, what it extracts is what was built
// into it.
struct PayloadSeal {
  char magic[24];
  std::uint64_t size;
  std::uint8_t sha256[32];
  std::uint32_t blockSize;
  std::uint32_t padding;
  std::uint8_t tableSha256[32];
};

// Read through a volatile access: the build changes it after compiling.
PayloadSeal ReadPayloadSeal();

}  // namespace setup
