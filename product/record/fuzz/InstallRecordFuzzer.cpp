// Any bytes as the installation record an uninstaller finds in a product
// folder (anyone may have edited it): reading must not fail in any way
// but by refusing, and a record that is read must be written back to the
// same paths.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>

#include "product/record/InstallRecord.h"
#include "engine/testing/FuzzCheck.h"

using fuzz::Check;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const auto paths = record::ParseInstallRecord(bytes);
  if (!paths) return 0;
  for (const std::string& path : *paths) Check(path.find('\n') == std::string::npos, "a path holds no line end");
  const std::string written = record::FormatInstallRecord(*paths);
  const auto again = record::ParseInstallRecord(written);
  Check(again.has_value(), "a written record reads");
  Check(*again == *paths, "a written record reads back to the same paths");
  return 0;
}
