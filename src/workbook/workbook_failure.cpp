// The texts of the ZIP workbook readers' failures.
#include "workbook/workbook_failure.h"

namespace fv {

std::string password_protected_message(const std::string& path) {
    return "Spreadsheet file " + path +
           " is password-protected. Save a copy without the password and open that copy.";
}

std::string binary_workbook_message(const std::string& path) {
    return "Spreadsheet file " + path +
           " is an Excel binary workbook (.xlsb), a format that is not supported. Save it as an Excel workbook "
           "(.xlsx) and open that copy.";
}

std::string workbook_failure_message(const std::string& path, const std::string& format,
                                     const workbook_failure& failure) {
    switch (failure.problem()) {
        case workbook_problem::damaged:
            return "Spreadsheet file " + path + " is damaged: " + failure.detail() + ".";
        case workbook_problem::not_a_workbook:
            return "Spreadsheet file " + path + " is not an " + format + ": " + failure.detail() + ".";
        case workbook_problem::encrypted:
            return password_protected_message(path);
        case workbook_problem::binary_workbook:
            return binary_workbook_message(path);
        case workbook_problem::too_large:
            return "Spreadsheet file " + path + " is too large to read: " + failure.detail() + ".";
    }
    return "Spreadsheet file " + path + " is damaged.";
}

}  // namespace fv
