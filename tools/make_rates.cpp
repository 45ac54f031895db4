// Builds the rate file from Treasury yields: monthly tables and the
// Treasury's daily par-yield downloads, merged in the order given (a later
// file's month replaces an earlier one's). See ferravane-make-rates(1).
#include <filesystem>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include "ferravane_version.h"
#include "rate_refresh/rate_file_blocks.h"
#include "rate_refresh/rate_sets.h"
#include "rate_refresh/treasury_months.h"
#include "rates/rate_collection.h"
#include "util/file_io.h"
#include "util/text_error.h"

namespace {

constexpr const char* program = "ferravane-make-rates";
constexpr const char* file_comment = "Treasury constant-maturity yields: fiscal-year averages and budget assumptions";
// Rate files are small; the loader refuses anything near this size anyway.
constexpr std::size_t largest_previous_file = 16'000'000;

enum class exit_status { success = 0, failure = 1, usage = 2 };

struct options {
    std::vector<std::string> inputs;
    std::string output = "rates.txt";
    std::optional<std::string> previous;
    std::optional<std::string> months;
    bool help = false;
    bool version = false;
};

const char* const usage_text =
    "usage: ferravane-make-rates [-o RATES] [--previous RATES] [--months CSV] YIELDS.csv...\n"
    "Builds a Ferravane rate file from monthly Treasury yield tables and daily par yield curve\n"
    "downloads, merged in the order given (a later file's month replaces an earlier one's).\n"
    "\n"
    "  -o, --output RATES   the rate file to write (default: rates.txt)\n"
    "  --previous RATES     keep the checksum blocks of unchanged lines from RATES\n"
    "                       (default: the output file, when it exists)\n"
    "  --months CSV         also write the merged monthly table, to feed the next refresh\n"
    "  -h, --help           this text\n"
    "  --version            the version\n"
    "\n"
    "See ferravane-make-rates(1).\n";

// Throws text_error for a command line it cannot follow.
options read_options(int argc, char** argv) {
    options result;
    bool only_files = false;
    for (int i = 1; i < argc; ++i) {
        const std::string word = argv[i];
        auto value = [&]() -> std::string {
            if (i + 1 >= argc) throw fv::text_error(word + " needs a file name");
            return argv[++i];
        };
        if (only_files || word.empty() || word[0] != '-' || word == "-") {
            result.inputs.push_back(word);
        } else if (word == "--") {
            only_files = true;
        } else if (word == "-o" || word == "--output") {
            result.output = value();
        } else if (word == "--previous") {
            result.previous = value();
        } else if (word == "--months") {
            result.months = value();
        } else if (word == "-h" || word == "--help") {
            result.help = true;
        } else if (word == "--version") {
            result.version = true;
        } else {
            throw fv::text_error("unknown option " + word);
        }
    }
    if (!result.help && !result.version && result.inputs.empty()) throw fv::text_error("no yield file given");
    if (result.months && (*result.months == result.output || fv::same_file(*result.months, result.output)))
        throw fv::text_error("--months and the rate file must be two files");
    return result;
}

// The blocks of the previous rate file. One named on the command line must
// be a rate file; the output file, when it is there, must be one too, so a
// mistyped output name never replaces some other file.
fv::rate_file_blocks previous_blocks(const options& chosen) {
    const std::string path = chosen.previous.value_or(chosen.output);
    std::error_code ignored;
    if (!chosen.previous && !std::filesystem::exists(path, ignored)) return fv::rate_file_blocks();
    const auto bytes = fv::read_whole_file(path, largest_previous_file);
    if (!bytes) throw fv::text_error(path + ": cannot read it as a rate file (not a regular file, or too large)");
    const std::string text(bytes->begin(), bytes->end());
    if (!fv::looks_like_rate_file(text))
        throw fv::text_error(path + ": not a rate file (it does not begin with #KDM-RATE-FILE)" +
                             (chosen.previous ? std::string() : "; not replaced"));
    return fv::rate_file_blocks(text);
}

void write_whole(const std::string& path, const std::string& text) {
    if (!fv::write_file_replacing(path, text)) throw fv::text_error(path + ": cannot write it; nothing was changed");
}

exit_status run(const options& chosen) {
    fv::month_table months;
    for (const std::string& input : chosen.inputs) {
        fv::month_source source = fv::read_yield_months(input);
        for (const std::string& note : source.notes) std::cerr << program << ": " << input << ": " << note << "\n";
        if (source.months.empty()) throw fv::text_error(input + ": no month with a yield for all nine maturities");
        const int replaced = fv::merge_months(months, source.months);
        std::cout << input << ": " << source.months.size() << " months, " << fv::month_name(source.months.begin()->first)
                  << " to " << fv::month_name(source.months.rbegin()->first);
        if (replaced > 0) std::cout << " (" << replaced << " replacing earlier ones)";
        std::cout << "\n";
    }
    const fv::shipped_rate_sets sets = fv::make_shipped_rate_sets(months);
    for (const std::string& note : sets.notes) std::cerr << program << ": " << note << "\n";

    fv::rate_file_blocks blocks = previous_blocks(chosen);
    fv::rate_collection collection;
    collection.set_rate_file_sets(sets.actual, sets.budget);
    const std::string text = collection.rate_file_text(
        [&blocks](std::string_view checked, std::int32_t value) { return blocks.block_for(checked, value); },
        file_comment);

    // Read back before writing: the program's loader must accept every line.
    fv::rate_collection check;
    check.load_rate_file_text(chosen.output, text, true);

    if (chosen.months) write_whole(*chosen.months, fv::monthly_table_text(months));
    write_whole(chosen.output, text);
    const std::size_t lines = check.actual().size() + check.budget().size() + 1;
    std::cout << chosen.output << ": " << check.actual().size() << " actual sets, " << check.budget().size()
              << " budget sets; " << blocks.kept() << " of " << lines << " checksum blocks as before\n";
    return exit_status::success;
}

}  // namespace

int main(int argc, char** argv) {
    options chosen;
    try {
        chosen = read_options(argc, argv);
    } catch (const fv::text_error& e) {
        std::cerr << program << ": " << e.text() << "\n" << usage_text;
        return static_cast<int>(exit_status::usage);
    }
    if (chosen.help) {
        std::cout << usage_text;
        return static_cast<int>(exit_status::success);
    }
    if (chosen.version) {
        std::cout << program << " " << fv::program_version << "\n";
        return static_cast<int>(exit_status::success);
    }
    try {
        return static_cast<int>(run(chosen));
    } catch (const fv::text_error& e) {
        std::cerr << program << ": " << e.text() << "\n";
        return static_cast<int>(exit_status::failure);
    }
}
