#pragma once

#include <cstddef>
#include <cstdint>

namespace ui {

// Raw blocks for native structures handed to Windows (rectangles, bitmap
// headers, paint structures). Each block is fresh zeroed pages from the
// system's page allocator, readable and writable but never executable.
void* AllocRaw(std::size_t size);
void FreeRaw(void* address);

std::int32_t ReadInt(const void* address);
void WriteInt(void* address, std::int32_t value);

}  // namespace ui
