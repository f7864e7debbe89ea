#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

namespace ui {

// Encoded bytes handed to the engine: an image file, an archive. Usually a
// view of the program's constant data.
using Bytes = std::span<const std::uint8_t>;

// The program's constant data holds each resource as a block
// {32-bit 1, 32-bit length, bytes}; this returns the view of its bytes.
Bytes EmbeddedBytes(const std::uint8_t* block);

// Copies a block's bytes to a raw address: `count` bytes when the count is
// given and lies between 1 and the block's length (exclusive), the whole
// block otherwise. Returns the number of bytes copied.
std::size_t CopyBytesTo(void* address, Bytes bytes, std::optional<int> count = std::nullopt);

}  // namespace ui
