#pragma once

#include <string>
#include <string_view>

namespace nimbo {

// Where Nimbo records how it was last started: Nimbo-started.txt in the
// user's temporary folder. Empty when that folder is unknown.
std::wstring StartRecordPath();

// The record's contents: the command line in UTF-8 as one line, ended by
// CR LF. A line break inside the command line becomes a space, so the
// record stays one line.
std::string StartRecordText(std::wstring_view commandLine);

// Writes the record, replacing the one of the previous start; false when
// it could not be written.
bool RecordStart(std::wstring_view commandLine);

}  // namespace nimbo
