#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace record {

// The installation's own record of what it wrote into the product folder,
// kept in that folder for the uninstaller, which removes exactly that. It is
// UTF-8 text: a head line, then one path per line, relative to the folder,
// "/" between levels, a folder ending in "/", in the order they were
// written. Lines end in CR LF so that Notepad shows them; LF alone is read too.
inline constexpr char kInstallRecordName[] = "uninstall.list";
inline constexpr std::string_view kInstallRecordHead = "Nimbo installation record";

// The record's text for these UTF-8 paths.
std::string FormatInstallRecord(const std::vector<std::string>& paths);

// The paths of a record, or nothing when the bytes are not a record: no head
// line, or not UTF-8. Whether each path is safe to remove is the
// uninstaller's own check.
std::optional<std::vector<std::string>> ParseInstallRecord(std::string_view bytes);

}  // namespace record
