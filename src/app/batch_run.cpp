// The batch modes: word checks in their order, the run, and the delivery.
#include "app/batch_run.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <exception>

#include "app/output_format.h"
#include "util/file_io.h"
#include "util/run_files.h"
#include "util/text_error.h"

namespace fv {

namespace {

constexpr int delivered = 0;
constexpr int failed = 1;

// The run's text files are written with their bytes as they are; the display
// texts already end lines in CR LF. A failed append leaves no part line.
bool append_to(const std::string& path, const std::string& text) { return append_to_file(path, text); }

std::string spreadsheet_output_message(const std::string& output, const std::string& spreadsheet) {
    return "The output file " + output + " is the spreadsheet " + spreadsheet +
           " being read.\nChoose another output file name; the spreadsheet was left as it is.";
}

class batch_session {
public:
    batch_session(const batch_words& words, batch_document& document, batch_host& host)
        : words_(words), mode_(choose_batch_mode(words.at(0))), layout_(layout_of(mode_)), document_(document),
          host_(host) {}

    int run() {
        const int last_word = mode_ == batch_mode::calculate ? 1 : mode_ == batch_mode::print ? 2 : 3;
        // Words before the range; then the output checks of wk3 and logfile; then the range.
        for (int index = 1; index < last_word; ++index)
            if (!check_word(index)) return failed;
        if (layout_.output >= 0 && !check_output()) return failed;
        if (!check_word(last_word)) return failed;
        if (rate_choice_incomplete(mode_, words_)) {
            host_.show_message(incomplete_choice_error);
            return failed;
        }
        if (!calculate()) return failed;
        return deliver();
    }

private:
    const std::string& spreadsheet() const { return words_.at(layout_.spreadsheet); }
    const std::string& range() const { return words_.at(layout_.range); }
    const std::string& output() const { return words_.at(layout_.output); }

    bool check_word(int index) {
        if (auto error = missing_word_error(mode_, words_, index)) {
            host_.show_message(*error);
            return false;
        }
        return true;
    }

    // The output file may not be the spreadsheet itself; wk3 and logfile open it before the range is looked at.
    bool check_output() {
        if (words_.has(layout_.spreadsheet) && same_file(output(), spreadsheet())) {
            host_.show_message(spreadsheet_output_message(output(), spreadsheet()));
            return false;
        }
        if (const std::optional<std::string> read_by_the_run = run_file_at(output())) {
            host_.show_message("The output file " + output() + " is " + *read_by_the_run +
                               ".\nChoose another output file name; that file was left as it is.");
            return false;
        }
        if (mode_ == batch_mode::wk3 && !has_wk3_extension(output()) && !has_xlsx_extension(output())) {
            host_.show_message(wk3_extension_error(output()));
            return false;
        }
        struct stat existing;
        created_output_ = ::stat(output().c_str(), &existing) != 0;
        if ((mode_ == batch_mode::wk3 || mode_ == batch_mode::logfile) && !append_to(output(), "")) {
            host_.show_message(output_open_error(output()));
            return false;
        }
        return true;
    }

    bool calculate() {
        const rate_choice rates =
            words_.has(layout_.category()) ? read_rate_choice(words_, layout_.category()) : rate_choice{};
        const std::optional<std::string> wk3_output =
            mode_ == batch_mode::wk3 ? std::optional<std::string>(output()) : std::nullopt;
        std::optional<std::string> technical;
        try {
            document_.run_batch(spreadsheet(), range(), rates, wk3_output);
            return true;
        } catch (const text_error& e) {
            technical = e.text();
        } catch (const std::exception&) {
        }
        const std::string text = run_failure_text(mode_, spreadsheet(), range(), technical);
        if (mode_ == batch_mode::wk3) remove_empty_output();
        if (mode_ == batch_mode::logfile) {
            if (!append_to(output(), text)) host_.show_message(output_open_error(output()));
        } else {
            host_.show_message(text);
        }
        return false;
    }

    int deliver() {
        switch (mode_) {
            case batch_mode::calculate: {
                const bool printed = document_.print_display(2);
                return document_.print_display(7) && printed && document_.calculation_completed() ? delivered : failed;
            }
            case batch_mode::print: {
                const bool printed = document_.print_display(2);
                const bool messages = !document_.has_messages() || document_.print_display(7);
                return printed && messages && document_.calculation_completed() ? delivered : failed;
            }
            case batch_mode::file: {
                // A run that did not reach its end has no values to write.
                if (!document_.calculation_completed()) return failed;
                std::string text = document_.display_text(2).value_or("");
                if (document_.has_messages()) text += "\n\nWarning messages:\n" + document_.messages_text();
                if (const file_write written = replace_file(output(), text); !written) {
                    host_.show_message(output_open_error(output()) + "\n(" + write_failure_reason(written) + ")");
                    return failed;
                }
                return delivered;
            }
            case batch_mode::import: {
                if (!document_.calculation_completed()) return failed;
                try {
                    document_.write_import_file(output());
                } catch (const text_error& e) {
                    host_.show_message(e.text());
                    return failed;
                }
                return delivered;
            }
            case batch_mode::wk3:
                if (document_.calculation_completed() && !document_.spreadsheet_output_failed()) return delivered;
                remove_empty_output();
                return failed;
            case batch_mode::logfile:
                if (!append_to(output(), document_.batch_lines())) {
                    host_.show_message(output_open_error(output()));
                    return failed;
                }
                return document_.calculation_completed() ? delivered : failed;
        }
        return failed;
    }

    // A failed run leaves no spreadsheet output behind that it made itself.
    void remove_empty_output() {
        struct stat st;
        if (created_output_ && ::stat(output().c_str(), &st) == 0 && S_ISREG(st.st_mode) && st.st_size == 0)
            ::unlink(output().c_str());
    }

    const batch_words& words_;
    const batch_mode mode_;
    const batch_layout layout_;
    batch_document& document_;
    batch_host& host_;
    bool created_output_ = false;
};

}  // namespace

int run_batch(const std::vector<std::string>& arguments, batch_document& document, batch_host& host) {
    const batch_words words = split_batch_words(arguments);
    return batch_session(words, document, host).run();
}

}  // namespace fv
