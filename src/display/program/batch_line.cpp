// Batch log lines and their checked append: a log that already holds the
// results of earlier runs must never keep half a line of this one.
#include "display/program/batch_line.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cmath>
#include <tuple>

#include "cashflow/message_list.h"
#include "display/program/output_files.h"
#include "util/safe_text.h"
#include "util/file_io.h"
#include "util/run_files.h"

namespace fv {

namespace {

bool available(double value) { return std::isfinite(value) && std::fabs(value) < not_available; }

bool write_all(int fd, std::string_view bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += static_cast<std::size_t>(n);
    }
    return true;
}

bool is_input_file(const credit_program& program, int fd) {
    struct stat log;
    struct stat input;
    if (program.workbook_path.empty() || ::fstat(fd, &log) != 0 || ::stat(program.workbook_path.c_str(), &input) != 0)
        return false;
    return log.st_dev == input.st_dev && log.st_ino == input.st_ino;
}

// The size of a regular file, to cut a failed append back to; -1 for anything else.
off_t regular_size(int fd) {
    struct stat st;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) return -1;
    return st.st_size;
}

}  // namespace

std::string batch_lines(const credit_program& program) {
    const std::string head = quoted_text(program.workbook_path + " (" + program.range_name + ")") + ", ";
    const std::string selection =
        ",  " + quoted_text(program.rate_selection && !program.rate_selection->empty() ? *program.rate_selection
                                                                                       : "(unknown rate selection)");
    const std::size_t count = program.messages().count();
    const std::string warnings = count == 0   ? std::string(",  \"(no warning messages)\"")
                                 : count == 1 ? std::string(",  \"(1 warning message)\"")
                                              : format_message(",  \"(%zu warning messages)\"", count);

    std::string out;
    for (const auto& cohort : program.cohorts) {
        const cohort_results& r = cohort->results;
        out += head;
        // Components come with the total; any of them missing means no subsidy to report.
        if (available(r.subsidy_percentage) && available(r.financing_percentage) && available(r.default_percentage) &&
            available(r.fee_percentage) && available(r.other_percentage)) {
            out += format_message("%d, %.3f, %.3f, %.3f, %.3f, %.3f", cohort->year, r.subsidy_percentage,
                                  r.financing_percentage, r.default_percentage, r.fee_percentage, r.other_percentage);
            if (available(r.single_effective_rate)) out += format_message(", %.3f", r.single_effective_rate);
        } else {
            out += "\"Subsidy has not been computed\"";
        }
        out += selection;
        out += warnings;
        out += "\r\n";
    }
    return out;
}

bool write_batch_line(const credit_program& program, std::FILE* log) {
    if (log == nullptr) return false;
    const std::string lines = batch_lines(program);
    if (std::fflush(log) != 0) return false;
    const int fd = ::fileno(log);
    if (fd < 0)  // a stream without a file: only its own checks are there
        return std::fwrite(lines.data(), 1, lines.size(), log) == lines.size() && std::fflush(log) == 0;
    if (is_input_file(program, fd) || run_file_of(fd)) return false;
    // Past the stream's buffer, so a failed write cannot stay behind in it and
    // reach the file later; a partial line is cut off again.
    const off_t before = regular_size(fd);
    const bool good = write_all(fd, lines);
    if (!good && before >= 0) std::ignore = ::ftruncate(fd, before);  // the failure is reported either way
    return good;
}

bool write_batch_line(const credit_program& program, const std::string& path) {
    if (path.empty() || overwritten_by_output(program, path)) return false;
    return append_to_file(path, batch_lines(program), program.workbook_path);
}

}  // namespace fv
