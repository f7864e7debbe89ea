#include "Sha256.h"

#include "engine/core/SystemLibraries.h"
#include "engine/core/Win32.h"

#include <bcrypt.h>

namespace setup {
namespace {

// bcrypt is no known DLL: its functions come from the system folder's.
struct Cryptography {
  decltype(&BCryptOpenAlgorithmProvider) open = nullptr;
  decltype(&BCryptCreateHash) create = nullptr;
  decltype(&BCryptHashData) hash = nullptr;
  decltype(&BCryptFinishHash) finish = nullptr;
  decltype(&BCryptDestroyHash) destroy = nullptr;
  bool loaded = false;
};

template <class F>
F Function(HMODULE module, const char* name) {
  return module == nullptr ? nullptr : reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

const Cryptography& Library() {
  static const Cryptography library = [] {
    Cryptography loaded;
    HMODULE module = ui::LoadSystemLibrary(L"bcrypt.dll");
    loaded.open = Function<decltype(&BCryptOpenAlgorithmProvider)>(module, "BCryptOpenAlgorithmProvider");
    loaded.create = Function<decltype(&BCryptCreateHash)>(module, "BCryptCreateHash");
    loaded.hash = Function<decltype(&BCryptHashData)>(module, "BCryptHashData");
    loaded.finish = Function<decltype(&BCryptFinishHash)>(module, "BCryptFinishHash");
    loaded.destroy = Function<decltype(&BCryptDestroyHash)>(module, "BCryptDestroyHash");
    loaded.loaded = loaded.open && loaded.create && loaded.hash && loaded.finish && loaded.destroy;
    return loaded;
  }();
  return library;
}

// The algorithm is opened once for the process and kept.
BCRYPT_ALG_HANDLE Algorithm() {
  static const BCRYPT_ALG_HANDLE algorithm = [] {
    BCRYPT_ALG_HANDLE opened = nullptr;
    const bool open = Library().loaded && Library().open(&opened, BCRYPT_SHA256_ALGORITHM, nullptr, 0) == 0;
    return open ? opened : nullptr;
  }();
  return algorithm;
}

}  // namespace

struct Sha256::State {
  BCRYPT_HASH_HANDLE hash = nullptr;
  bool failed = false;
};

Sha256::Sha256() : state_(std::make_unique<State>()) {
  if (Algorithm() == nullptr || Library().create(Algorithm(), &state_->hash, nullptr, 0, nullptr, 0, 0) != 0) {
    state_->hash = nullptr;
  }
}

Sha256::~Sha256() {
  if (state_->hash != nullptr) Library().destroy(state_->hash);
}

bool Sha256::Ready() const { return state_->hash != nullptr && !state_->failed; }

void Sha256::Add(const void* bytes, std::size_t count) {
  if (!Ready()) return;
  const auto* at = static_cast<const std::uint8_t*>(bytes);
  while (count > 0) {
    const ULONG piece = count > 0x40000000 ? 0x40000000 : static_cast<ULONG>(count);
    if (Library().hash(state_->hash, const_cast<PUCHAR>(at), piece, 0) != 0) state_->failed = true;
    at += piece;
    count -= piece;
  }
}

bool Sha256::Finish(Sha256Digest* digest) {
  if (!Ready()) return false;
  const bool done = Library().finish(state_->hash, digest->data(), static_cast<ULONG>(digest->size()), 0) == 0;
  state_->failed = true;  // a hash is finished once
  return done;
}

}  // namespace setup
