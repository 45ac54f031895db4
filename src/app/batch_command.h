// The batch command line: the words the shell passed, the mode the first word
// chooses, the rate choice, and the exact texts of every command-line error
// and run failure. Pure functions; the batch runner does the files and the run.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "rates/rate_set.h"

namespace fv {

enum class batch_mode { calculate, print, logfile, wk3, file, import };

// At most seven words take part; further arguments are ignored.
struct batch_words {
    std::array<std::string, 7> word;
    int count = 0;

    bool has(int index) const { return index >= 0 && index < count; }
    const std::string& at(int index) const;
};

batch_words split_batch_words(const std::vector<std::string>& arguments);

// The first command word that matches word 0 (ignoring case, over the command
// word's length) decides; no match means word 0 is the spreadsheet.
batch_mode choose_batch_mode(const std::string& word0);

// The rate choice of a category word and a selection name.
struct rate_choice {
    std::optional<rate_source> source;  // none without a category word
    std::string selection;
};

// Reads the category at `index` and the name at `index + 1`; throws outside 0 to 6.
rate_choice read_rate_choice(const batch_words& words, int index);

// Where a mode finds its words: the output file (-1 when it has none), the
// spreadsheet, the range and the category word that may follow.
struct batch_layout {
    int output = -1;
    int spreadsheet = 0;
    int range = 1;
    int category() const { return range + 1; }
};
batch_layout layout_of(batch_mode mode);

const char* batch_mode_word(batch_mode mode);

// The message when word `index` (1 to 3) of the mode is missing; none when it is there.
std::optional<std::string> missing_word_error(batch_mode mode, const batch_words& words, int index);

// A category word without a name.
bool rate_choice_incomplete(batch_mode mode, const batch_words& words);
extern const char* const incomplete_choice_error;

// The "wk3" output must end in wk3, ignoring case (or be an XLSX name, see output_format.h).
bool has_wk3_extension(const std::string& name);
std::string wk3_extension_error(const std::string& name);
std::string output_open_error(const std::string& name);

// A failure that escaped the run, reported per mode; `technical` is its text when it had one.
std::string run_failure_text(batch_mode mode, const std::string& spreadsheet, const std::string& range,
                             const std::optional<std::string>& technical);

}  // namespace fv
