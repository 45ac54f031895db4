// Why a ZIP workbook (XLSX, ODS) could not be read. The container and XML
// layers find the problem deep down, where the file's name is not known; the
// reader turns it into the message the user sees, naming the file.
#pragma once

#include <exception>
#include <string>
#include <utility>

namespace fv {

enum class workbook_problem {
    damaged,         // truncated, corrupt, not well-formed, or built to exhaust the reader
    not_a_workbook,  // a sound file of another kind
    encrypted,       // password-protected
    too_large,       // more than the reader holds
    binary_workbook, // an Excel binary workbook (.xlsb)
};

class workbook_failure : public std::exception {
public:
    workbook_failure(workbook_problem problem, std::string detail)
        : problem_(problem), detail_(std::move(detail)) {}

    workbook_problem problem() const noexcept { return problem_; }
    const std::string& detail() const noexcept { return detail_; }
    const char* what() const noexcept override { return detail_.c_str(); }

private:
    workbook_problem problem_;
    std::string detail_;
};

// The user's message for the file at `path`; `format` names what the file
// should have been ("Excel workbook", "OpenDocument spreadsheet").
std::string workbook_failure_message(const std::string& path, const std::string& format,
                                     const workbook_failure& failure);

// "Spreadsheet file <path> is password-protected. ..."
std::string password_protected_message(const std::string& path);

// "Spreadsheet file <path> is an Excel binary workbook (.xlsb) ..."
std::string binary_workbook_message(const std::string& path);

}  // namespace fv
