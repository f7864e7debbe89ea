#pragma once

// Debian's minizip as the reference the reader is compared with (native
// tests and the benchmark only).
#include <string>
#include <string_view>
#include <vector>

#include "installer/archive/tests/TestArchives.h"

namespace setup::ziptest {

// The same with Debian's minizip, over a temporary file.
std::optional<std::vector<ReadEntry>> ReadWithMinizip(const std::vector<std::uint8_t>& bytes,
                                                      std::string* comment = nullptr);

// An archive written by minizip's zip interface: each entry as given
// (method 0 or 8; flags may carry bit 11; externalAttributes), then the
// comment.
std::vector<std::uint8_t> WriteWithMinizip(const std::vector<TestEntry>& entries, std::string_view comment = {});

// A path for a temporary file of this test process.
std::string TemporaryPath(std::string_view name);

}  // namespace setup::ziptest
