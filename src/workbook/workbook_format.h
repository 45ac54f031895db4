// What a spreadsheet file is by its content rather than its name: a ZIP
// package holding an Excel workbook (XLSX, or the binary XLSB) or an
// OpenDocument spreadsheet, or a compound document holding an encrypted
// package (a password-protected Excel workbook, however it is named).
#pragma once

#include <string>
#include <vector>

namespace fv {

enum class container_kind { zip, compound_document, other };

// By the first bytes of the file (read_file_start).
container_kind container_of(const std::vector<unsigned char>& start);

enum class zip_content { xlsx, xlsb, ods, other };

// What the ZIP package in the image holds; `other` also for one that cannot be read.
zip_content zip_content_of(const std::vector<unsigned char>& image);

// Whether the compound document at the path holds an encrypted package.
bool is_encrypted_package(const std::string& path);

}  // namespace fv
