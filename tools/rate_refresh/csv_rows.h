// A CSV file read into rows of fields (RFC 4180: quoted fields, CR LF or LF
// line ends), through libcsv.
#pragma once

#include <string>
#include <vector>

namespace fv {

using csv_row = std::vector<std::string>;

// The rows of a regular file of CSV text; empty lines are skipped. Throws
// text_error naming the file when it cannot be read or is not CSV.
std::vector<csv_row> read_csv_rows(const std::string& path);

// The same from text in memory; path names it in messages.
std::vector<csv_row> parse_csv_rows(const std::string& path, const std::string& text);

}  // namespace fv
