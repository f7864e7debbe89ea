#include "ImagePreloader.h"

#include <cstring>
#include <mutex>
#include <utility>
#include <vector>

#include "ImageLoader.h"

namespace ui {
namespace {

struct Preload {
  std::vector<std::uint8_t> bytes;  // a copy: the caller's may go
  ImagePtr image;
  HANDLE thread = nullptr;
};

std::mutex preloadMutex;
Preload* pending = nullptr;  // owned; replaced or taken under the mutex

DWORD WINAPI DecodeOnItsOwnThread(void* parameter) {
  auto* preload = static_cast<Preload*>(parameter);
  preload->image = LoadPremultipliedImageFromBytes(Bytes(preload->bytes.data(), preload->bytes.size()));
  return 0;
}

// Waits for the decoding and frees the record, giving its picture back.
ImagePtr Finish(Preload* preload) {
  if (preload->thread != nullptr) {
    WaitForSingleObject(preload->thread, INFINITE);
    CloseHandle(preload->thread);
  }
  ImagePtr image = std::move(preload->image);
  delete preload;
  return image;
}

}  // namespace

void PreloadImage(Bytes bytes) {
  auto* preload = new Preload;
  preload->bytes.assign(bytes.begin(), bytes.end());
  preload->thread = CreateThread(nullptr, 0, &DecodeOnItsOwnThread, preload, 0, nullptr);
  // Without a thread the picture is decoded here, as it would be later.
  if (preload->thread == nullptr) DecodeOnItsOwnThread(preload);
  Preload* replaced = nullptr;
  {
    std::lock_guard lock(preloadMutex);
    replaced = std::exchange(pending, preload);
  }
  if (replaced != nullptr) Finish(replaced);
}

ImagePtr TakePreloadedImage(Bytes bytes) {
  Preload* preload = nullptr;
  {
    std::lock_guard lock(preloadMutex);
    if (pending == nullptr || pending->bytes.size() != bytes.size() ||
        std::memcmp(pending->bytes.data(), bytes.data(), bytes.size()) != 0) {
      return nullptr;
    }
    preload = std::exchange(pending, nullptr);
  }
  return Finish(preload);
}

}  // namespace ui
