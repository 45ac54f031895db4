// Batch command words, modes, rate choice and their texts.
#include "app/batch_command.h"


#include "util/ascii.h"
#include "util/safe_text.h"
#include "util/text_error.h"
#include "util/utf8_text.h"

namespace fv {

namespace {

std::string single_word(batch_mode mode) {
    return std::string("Command line error:  the command line has a single word \"") + batch_mode_word(mode) + "\"";
}

std::string after_output_name(batch_mode mode) {
    return single_word(mode) +
           " and a filename\n\nAfter the output file name,there should be the name of the spreadsheet file to use "
           "\nand the range name.";
}

const char* const output_file_words =
    "\n\nThe file command must be followed by an output file name,\nthe name of the spreadsheet file to use and the "
    "range name";

}  // namespace

const char* const incomplete_choice_error = "Command line error:  A choice of rate assumptions was incomplete.";

const std::string& batch_words::at(int index) const {
    static const std::string none;
    return has(index) ? word[static_cast<std::size_t>(index)] : none;
}

batch_words split_batch_words(const std::vector<std::string>& arguments) {
    batch_words words;
    for (const std::string& argument : arguments) {
        if (words.count == static_cast<int>(words.word.size())) break;
        words.word[static_cast<std::size_t>(words.count++)] = argument;
    }
    return words;
}

batch_mode choose_batch_mode(const std::string& word0) {
    static const struct {
        const char* word;
        batch_mode mode;
    } commands[] = {{"print", batch_mode::print}, {"log", batch_mode::logfile}, {"wk3", batch_mode::wk3},
                    {"file", batch_mode::file},   {"import", batch_mode::import}};
    for (const auto& command : commands) {
        if (starts_with_ignoring_case(word0, command.word)) return command.mode;
    }
    return batch_mode::calculate;
}

const char* batch_mode_word(batch_mode mode) {
    switch (mode) {
        case batch_mode::print: return "print";
        case batch_mode::logfile: return "logfile";
        case batch_mode::wk3: return "wk3";
        case batch_mode::file: return "file";
        case batch_mode::import: return "import";
        case batch_mode::calculate: break;
    }
    return "";
}

rate_choice read_rate_choice(const batch_words& words, int index) {
    if (index < 0 || index > 6) throw text_error("CKdmApp::GetSelection called with out-of-range value");
    rate_choice choice;
    const std::string& category = words.at(index);
    const std::string& name = words.at(index + 1);
    const char letter = first_upper(category);
    choice.source = letter == 'A' ? rate_source::actual : letter == 'B' ? rate_source::budget : rate_source::own;
    const bool numeric = !name.empty() && ascii_digit(name[0]);
    if (choice.source == rate_source::actual && numeric)
        choice.selection = "FY " + name + " average";
    else if (choice.source == rate_source::budget && numeric)
        choice.selection = "Budget " + name;
    else
        choice.selection = name;
    // The selection buffer holds 255 characters.
    choice.selection.resize(prefix_bytes(choice.selection, 255));
    return choice;
}

batch_layout layout_of(batch_mode mode) {
    switch (mode) {
        case batch_mode::calculate: return {-1, 0, 1};
        case batch_mode::print: return {-1, 1, 2};
        case batch_mode::logfile:
        case batch_mode::wk3:
        case batch_mode::file:
        case batch_mode::import:
        default: return {1, 2, 3};
    }
}

std::optional<std::string> missing_word_error(batch_mode mode, const batch_words& words, int index) {
    if (words.has(index)) return std::nullopt;
    const std::string single = single_word(mode);
    switch (mode) {
        case batch_mode::calculate:
            if (index == 1) return "Command line error:  the range name appears to be missing from the command line.";
            break;
        case batch_mode::print: {
            const std::string text = single +
                                     "\n\nThe print command must be followed by the name of the spreadsheet file\nto "
                                     "use and the range name.";
            if (index == 1) return text;
            if (index == 2) return text + "  The range name was missing.";
            break;
        }
        case batch_mode::file:
        case batch_mode::wk3:
        case batch_mode::logfile:
            if (index == 1) return single + output_file_words + ".";
            if (index == 2) return after_output_name(mode);
            if (index == 3) return single + output_file_words + "\n(the range name appears to be missing).";
            break;
        case batch_mode::import: {
            const std::string text = single +
                                     "\n\nThe import command must be followed by an output file name,\nthe name of "
                                     "the spreadsheet file to use and the range name.";
            if (index == 1) return text + "\n";
            if (index == 2)
                return single + " and a filename\n\nAfter the output file name, there should be the name of the "
                                "spreadsheet file to use.";
            if (index == 3) return text + "\n(the range name appears to be missing).";
            break;
        }
    }
    return std::nullopt;
}

bool rate_choice_incomplete(batch_mode mode, const batch_words& words) {
    const int category = layout_of(mode).category();
    return words.has(category) && !words.has(category + 1);
}

bool has_wk3_extension(const std::string& name) {
    return name.size() >= 3 && starts_with_ignoring_case(name.substr(name.size() - 3), "wk3");
}

std::string wk3_extension_error(const std::string& name) {
    return "Command line error:  the command line has a single word \"wk3\"\nand the filename \"" + name +
           "\"\n\nThe filename MUST have a \"wk3\" extension.";
}

std::string output_open_error(const std::string& name) {
    return "An error occured while writing the subsidy output to:\noutput file:  " + name;
}

std::string run_failure_text(batch_mode mode, const std::string& spreadsheet, const std::string& range,
                             const std::optional<std::string>& technical) {
    switch (mode) {
        case batch_mode::calculate:
        case batch_mode::print:
        case batch_mode::file:
        case batch_mode::import: {
            const bool colon = mode == batch_mode::file || mode == batch_mode::import;
            std::string text = std::string("An error occured while calculating a subsidy from") + (colon ? ":" : "") +
                               "\nspreadsheet " + spreadsheet + " and range " + range;
            if (technical) text += "\n\n(Technical message:  " + *technical + ")";
            return text;
        }
        case batch_mode::wk3: {
            std::string text = "Spreadsheet/range:  " + spreadsheet + " (" + range +
                               ")\nAn error occured while calculating a subsidy.\n";
            if (technical) text += "\nTechnical message:  " + *technical + "\n";
            return text;
        }
        case batch_mode::logfile: {
            // One log line, whatever the texts hold, ending like the log's other lines.
            std::string line = quoted_text(spreadsheet + " (" + range + ")");
            line += ",  ";
            line += quoted_text("An error occured while calculating a subsidy.  " +
                                (technical ? "Technical message:  " + *technical : std::string("No technical message")));
            line += "\r\n";
            return line;
        }
    }
    return {};
}

}  // namespace fv
