// Shared by the output-file tests: a scratch folder removed afterwards, whole
// files read back, and a small program with cohorts whose results are set by
// hand.
#pragma once

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "cashflow/credit_program.h"

namespace fv::testing {

class scratch_folder {
public:
    scratch_folder() {
        std::string pattern = (std::filesystem::temp_directory_path() / "fv_outputs_XXXXXX").string();
        if (::mkdtemp(pattern.data()) != nullptr) path_ = pattern;
    }
    ~scratch_folder() {
        std::error_code ignored;
        if (path_.empty()) return;
        // A test may have left the folder read-only.
        std::filesystem::permissions(path_, std::filesystem::perms::owner_all, ignored);
        std::filesystem::remove_all(path_, ignored);
    }
    scratch_folder(const scratch_folder&) = delete;
    scratch_folder& operator=(const scratch_folder&) = delete;

    std::string operator/(const std::string& name) const { return path_ + "/" + name; }
    const std::string& path() const { return path_; }
    // Names in the folder, to show that no temporary file was left behind.
    std::vector<std::string> names() const {
        std::vector<std::string> out;
        for (const auto& entry : std::filesystem::directory_iterator(path_)) out.push_back(entry.path().filename());
        return out;
    }

private:
    std::string path_;
};

inline std::string read_file(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

inline void write_file(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

// Lines of a CR LF text without their line ends; a line end that is not CR LF fails the test.
inline std::vector<std::string> crlf_lines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = text.find('\n', start);
        if (end == std::string::npos) {
            ADD_FAILURE() << "text does not end in a line end";
            lines.push_back(text.substr(start));
            break;
        }
        EXPECT_TRUE(end > start && text[end - 1] == '\r') << "bare LF after line " << lines.size() + 1;
        lines.push_back(text.substr(start, end - start - (end > start && text[end - 1] == '\r' ? 1 : 0)));
        start = end + 1;
    }
    return lines;
}

// Percentages: total, financing, default, fee, other.
inline cohort& add_cohort(credit_program& program, int year, std::array<double, 5> percentages, double rate,
                             bool computed = true) {
    auto cohort = std::make_unique<fv::cohort>(&program, year, 1);
    cohort_results& r = cohort->results;
    r.subsidy_computed = percentages[0] != not_available;
    r.subsidy_percentage = percentages[0];
    r.financing_percentage = percentages[1];
    r.default_percentage = percentages[2];
    r.fee_percentage = percentages[3];
    r.other_percentage = percentages[4];
    r.single_effective_rate = rate;
    r.rate_computed = computed;
    program.cohorts.push_back(std::move(cohort));
    return *program.cohorts.back();
}

inline constexpr double na = not_available;
// How 1e30 would print with "%.2f": it must never appear.
inline const char* const printed_marker = "1000000000000000019884624838656";

// A program as a finished run leaves it, with a fixed identity.
inline void set_identity(credit_program& program) {
    program.run_time = "Thu Dec 10 08:00:00 2026";
    program.workbook_path = "/data/program.wk1";
    program.workbook_date = "Wed Dec 09 17:30:00 2026";
    program.range_name = "LOANS";
    program.range_coordinates = "A:A1..A:H12";
    program.name = "Rural housing";
    program.program_type = 1;
    program.purpose = calculation_purpose::budget_formulation;
    program.loan_type = loan_model::construction;
}

}  // namespace fv::testing
