#include "RawMemory.h"

#include <cstring>

#include "Win32.h"

namespace ui {

void* AllocRaw(std::size_t size) {
  if (size == 0) return nullptr;
  return VirtualAlloc(nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
}

void FreeRaw(void* address) {
  if (address != nullptr) VirtualFree(address, 0, MEM_RELEASE);
}

std::int32_t ReadInt(const void* address) {
  std::int32_t value;
  std::memcpy(&value, address, sizeof value);
  return value;
}

void WriteInt(void* address, std::int32_t value) { std::memcpy(address, &value, sizeof value); }

}  // namespace ui
