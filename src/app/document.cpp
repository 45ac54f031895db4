// The calculation run: the stages of a load and of a calculation in their
// order, what each failure reports and what it leaves behind.
#include "app/document.h"

#include <algorithm>
#include <exception>
#include <limits>

#include "app/display_numbers.h"
#include "app/fatal_error.h"
#include "app/output_format.h"
#include "app/range_choice.h"
#include "app/settings_keys.h"
#include "cashflow/message_list.h"
#include "display/wk3_writer.h"
#include "display/xlsx_writer.h"
#include "display/program/batch_line.h"
#include "display/program/import_file.h"
#include "display/program/output_files.h"
#include "display/program/program_displays.h"
#include "subsidy/cohort_calculation.h"
#include "subsidy/cohort_single_effective_rate.h"
#include "subsidy/cohort_subsidy.h"
#include "subsidy/consistency_checks.h"
#include "subsidy/input_editing.h"
#include "util/file_io.h"
#include "util/run_files.h"
#include "util/text_error.h"
#include "workbook/workbook_file.h"

namespace fv {

namespace {

// The displays every calculation draws anew (or not at all).
constexpr int replaced_displays[] = {subsidy_display, distribution_display, derivation_display, details_display};

const std::string& section = settings::runtime_options;

const char* const damaged_file = "The spreadsheet file may be damaged or not in the format indicated by the extension";
const char* const problems_suffix =
    ":  There were problems in calculating the subsidy or preparing output (see above).";

// A display page and its text as the views show it: cut to the size a view
// holds, with the notice of the cut.
std::string view_text(display_page& page) {
    std::string text = page.render_text();
    if (page.was_cut()) page.put_truncation_notice(text);
    return text;
}

}  // namespace

document::document(settings_store& store, document_host& host, std::string program_directory,
                 std::function<std::time_t()> clock)
    : store_(store), host_(host), program_directory_(std::move(program_directory)), clock_(std::move(clock)) {
    rates_ = make_document_rates(store_, program_directory_ + "rates.txt",
                                 store_.read_text(section, settings::own_filename, ""));
    current_rate_source_ = rates_.selection.source;
    new_program();
}

void document::new_program() {
    // A source display still to be drawn shows the program it was made for.
    build_pending_source_display();
    program_ = std::make_unique<credit_program>(clock_());
    calculated_ = false;
    forget_chart_figures();
}

const rate_set* document::calculated_rate_set() const {
    return calculation_completed() && calculated_rates_ ? &*calculated_rates_ : nullptr;
}

const std::vector<cohort_flows>& document::flows_by_cohort() const {
    static const std::vector<cohort_flows> none;
    return calculation_completed() ? flows_by_cohort_ : none;
}

void document::forget_chart_figures() {
    calculated_rates_.reset();
    flows_by_cohort_.clear();
}

void document::set_status(const std::string& suffix) {
    status_ = path_ + suffix;
    host_.set_status(status_);
}

range_defaults document::parse_defaults() const {
    return {settings::read_budget_year(store_, clock_()), store_.read_int(section, settings::first_year_is_by, 0) != 0};
}

const display_page* document::page_of(int display) const {
    if (display < 1 || display > display_count) return nullptr;
    if (display == source_display) build_pending_source_display();
    if (!displays_[display]) return nullptr;
    return &displays_[display]->page;
}

std::optional<std::string> document::display_text(int display) const {
    if (display < 1 || display > display_count) return std::nullopt;
    if (display == source_display) build_pending_source_display();
    if (!displays_[display]) return std::nullopt;
    return displays_[display]->text;
}

void document::free_display(int display) {
    displays_[display].reset();
    if (display == source_display) source_display_pending_ = false;
}

void document::keep_display(int display, display_page page) const {
    std::string text = view_text(page);
    displays_[display].emplace(shown_display{std::move(page), std::move(text)});
}

// The source data display shows the program as read and edited, which a
// calculation does not change; it is drawn the first time something asks for
// it (a window, a print, a spreadsheet output), since a batch run that writes
// an import file never does and it is the largest display.
void document::build_pending_source_display() const {
    if (!source_display_pending_) return;
    source_display_pending_ = false;
    keep_display(source_display, make_source_display(*program_));
}

// The messages display again from the program's messages as they are now.
void document::rebuild_messages_display() {
    free_display(messages_display);
    keep_display(messages_display, make_messages_display(*program_));
}

// Input editing, then the messages display; the source display waits until asked for.
void document::edit_and_prepare(bool show_wide_notice, distribution_parts parts) {
    set_status(":  editing input");
    const bool divided = edit_input(*program_, worker_threads(), parts);
    if (divided && show_wide_notice && store_.read_int(section, settings::input_too_wide_option, 0) != 0)
        host_.wide_lines_notice();
    set_status(":  preparing displays");
    free_display(source_display);
    source_display_pending_ = true;
    keep_display(messages_display, make_messages_display(*program_));
}

bool document::load_spreadsheet(const std::string& path) {
    if (path_.empty()) path_ = path;
    set_status("");
    new_program();
    const range_defaults defaults = parse_defaults();

    std::unique_ptr<workbook_file> book;
    std::vector<std::string> candidates;
    try {
        book = std::make_unique<workbook_file>(path);
        set_status(":  reading spreadsheet");
        book->load();
        candidates = book->candidate_ranges();
    } catch (const text_error& failure) {
        host_.show_message(std::string(damaged_file) + "\n\nTechnical message: " + failure.text());
        return false;
    } catch (const std::exception&) {
        host_.show_message(damaged_file);
        return false;
    }

    if (candidates.empty()) {
        host_.show_message("No named ranges were found in the spreadsheet " + path);
        return false;
    }
    std::optional<std::string> range = choose_range(candidates, store_.read_text(section, settings::range_names, ""));
    if (!range) {
        std::vector<std::string> sorted = candidates;
        std::sort(sorted.begin(), sorted.end());
        range = host_.choose_range(path, sorted);
        if (!range) return false;
    }
    range_name_ = *range;

    try {
        set_status(":  parsing range");
        parse_range(*book, range_name_, defaults, *program_);
        // The program holds all it needs of the file: free it before the input grows.
        book.reset();
        edit_and_prepare(true);
    } catch (const text_error& failure) {
        host_.show_message(failure.text());
        return false;
    } catch (const std::exception&) {
        host_.show_message(fatal_error_text("loading spreadsheet", fatal_error_ending::comma));
        return false;
    }

    const bool has_view = host_.has_view();
    if (store_.read_int(section, settings::auto_subsidy_calc, -1) == 1) {
        try {
            calculate_subsidy();
        } catch (const text_error& failure) {
            host_.show_message(failure.text());
        }
        if (calculation_failed_) {
            if (has_view) host_.select_display(messages_display);
            set_status(problems_suffix);
            return true;
        }
        if (has_view) host_.select_display(program_->messages().count() == 0 ? subsidy_display : messages_display);
    } else if (has_view) {
        host_.select_display(program_->messages().count() == 0 ? source_display : messages_display);
    }
    set_status(":  Done");
    return true;
}

bool document::reload() {
    for (int display = 1; display <= display_count; ++display) free_display(display);
    range_name_.clear();
    calculation_failed_ = false;
    status_.clear();
    return load_spreadsheet(path_);
}

spreadsheet_choices document::sheet_choices() const {
    spreadsheet_choices sheet;
    sheet.purpose = program_->purpose;
    sheet.rate_source = program_->rate_assumption;
    if (!program_->rate_title.empty()) sheet.selection = program_->rate_title;
    sheet.single_effective_rate = program_->single_effective_rate;
    if (!program_->sheet_file_name.empty()) sheet.output_file = program_->sheet_file_name;
    sheet.budget_year = program_->budget_year;
    return sheet;
}

// Each line of a failure text becomes a message, the first numbered 56 and
// the others 0; with `only_ended_lines` the text after the last line break
// is left out.
void document::add_failure_lines(const std::string& text, bool only_ended_lines) {
    unsigned number = 56;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = text.find('\n', start);
        if (end == std::string::npos && only_ended_lines) break;
        const std::size_t stop = end == std::string::npos ? text.size() : end;
        program_->add(number, text.substr(start, stop - start));
        number = 0;
        if (end == std::string::npos) break;
        start = end + 1;
    }
}

// A calculation's failure: its lines as messages, the messages display again,
// and the text to the user.
void document::report_failure(const std::string& text, bool only_ended_lines) {
    add_failure_lines(text, only_ended_lines);
    rebuild_messages_display();
    host_.show_message(text);
}

void document::calculate_subsidy(std::optional<rate_source> source, const std::string& selection,
                          const std::optional<std::string>& wk3_output) {
    std::optional<named_rate_set> named_set;
    if (source) {
        const rate_set* set = rates_.rates.find_by_prefix(*source, selection);
        if (set == nullptr)
            throw text_error(format_message("Unable to find selection %s among the %s rate choices",
                                            selection.c_str(), rate_source_name(*source)));
        named_set = named_rate_set{*source, set->title};
    }

    state_before_ = take_state_before();
    // Kept only while the calculation runs.
    const struct forget_state_before {
        std::optional<state_before>& kept;
        ~forget_state_before() { kept.reset(); }
    } forget{state_before_};
    calculation_failed_ = true;
    spreadsheet_output_failed_ = false;
    forget_chart_figures();
    const std::size_t noted_messages = program_->messages().count();
    set_status(":  Calculating subsidy");
    program_->messages().remove_range(50, 99);
    // The lines of an earlier failure after its first one.
    program_->messages().remove_range(0, 0);

    try {
        spreadsheet_choices sheet = sheet_choices();
        // A WK3 output name passed in replaces the resolved one below, so it
        // also counts as a name when neither the spreadsheet nor the settings give one.
        if (wk3_output && !sheet.output_file) sheet.output_file = wk3_output;
        resolved_ = resolve_conflicts(store_, sheet, rates_.selection, rates_.rates, current_rate_source_, clock_());
    } catch (const text_error& failure) {
        report_failure(failure.text(), true);
        return;
    } catch (const std::exception&) {
        host_.show_message(fatal_error_text("resolving conflicts", fatal_error_ending::comma));
        return;
    }
    calculate_from_resolution(named_set, wk3_output, noted_messages);
}

// A calculation once the spreadsheet's choices and the preferences are
// resolved, stage by stage; a failure in any stage after the rates are found
// becomes messages and a notice.
void document::calculate_from_resolution(const std::optional<named_rate_set>& named_set,
                                        const std::optional<std::string>& wk3_output, std::size_t noted_messages) {
    apply_resolution(named_set, wk3_output);
    const rate_set* set = resolved_rate_set();
    if (set == nullptr) return;
    const rate_set rate_set = *set;

    try {
        std::optional<display_page> derivation;
        try {
            derivation = compute(rate_set);
        } catch (const calculation_cancelled&) {
            put_back_state_before();
            return;
        }
        write_output_files(*program_);
        build_displays(std::move(derivation));
        if (store_.read_int(section, settings::online_spreadsheet_options, 0) != 0) write_spreadsheet_output();
        print_chosen_displays();
        free_unviewed_displays();
    } catch (const text_error& failure) {
        report_failure(failure.text(), false);
        return;
    } catch (const std::exception&) {
        program_->add(55, fatal_error_first_sentence(while_calculating));
        program_->add(55, "    " + std::string(persisting_error_advice) + ".");
        rebuild_messages_display();
        host_.show_message(fatal_error_text("creating displays", fatal_error_ending::full_stop));
        return;
    }

    if (host_.has_view()) {
        const std::size_t now = program_->messages().count();
        host_.select_display(now == 0 || now <= noted_messages ? subsidy_display : messages_display);
    }
    set_status(":  Done");
    calculation_failed_ = false;
}

// The resolved choices, with a rate set and a WK3 output a batch run names
// taking the place of what was resolved.
void document::apply_resolution(const std::optional<named_rate_set>& named_set,
                                const std::optional<std::string>& wk3_output) {
    if (resolved_.budget_rates_forced) program_->add(51, budget_rates_forced_message);
    if (named_set) {
        resolved_.rate_source = named_set->source;
        resolved_.rate_title = named_set->title;
    }
    if (wk3_output) resolved_.output_file = wk3_output;
    current_rate_source_ = resolved_.rate_source;

    free_display(messages_display);
    // Displays chosen for viewing only are not built where no window shows them.
    const int viewed = host_.has_view() ? store_.read_int(section, settings::online_view_options, 0) : 0;
    output_mask_ = store_.read_int(section, settings::online_print_options, 0) |
                   store_.read_int(section, settings::online_spreadsheet_options, 0) | viewed;
}

// The resolved rate set; when there is none, says so (E025) and gives nothing.
const rate_set* document::resolved_rate_set() {
    const rate_set* set = rates_.rates.find_by_title(resolved_.rate_source, resolved_.rate_title);
    if (set == nullptr)
        host_.show_message(format_message(
            "E025:  \"%s\" not found among %s choices\n\nSee under \"Actions\" - \"Select rates\" for possible "
            "choices",
            resolved_.rate_title.c_str(), rate_source_name(resolved_.rate_source)));
    return set;
}

// What a cancelled calculation puts back. The displays a calculation replaces
// are taken away now, as they always were; the messages display is drawn
// again from the messages put back, and the others stay until the results are in.
document::state_before document::take_state_before() {
    state_before before;
    for (int display : replaced_displays) {
        before.displays[display] = std::move(displays_[display]);
        free_display(display);
    }
    before.messages = program_->messages();
    for (const auto& cohort : program_->cohorts) before.results.push_back(cohort->results);
    before.rate_assumptions = program_->rate_assumptions;
    before.rate_selection = program_->rate_selection;
    before.resolved = resolved_;
    before.current_rate_source = current_rate_source_;
    before.output_mask = output_mask_;
    before.calculated = calculated_;
    before.calculation_failed = calculation_failed_;
    before.spreadsheet_output_failed = spreadsheet_output_failed_;
    before.status = status_;
    before.calculated_rates = std::move(calculated_rates_);
    before.flows_by_cohort = std::move(flows_by_cohort_);
    forget_chart_figures();
    return before;
}

void document::put_back_state_before() {
    state_before& before = *state_before_;
    for (int display : replaced_displays) displays_[display] = std::move(before.displays[display]);
    program_->messages() = std::move(before.messages);
    rebuild_messages_display();
    for (std::size_t n = 0; n < program_->cohorts.size() && n < before.results.size(); ++n)
        program_->cohorts[n]->results = before.results[n];
    program_->rate_assumptions = std::move(before.rate_assumptions);
    program_->rate_selection = std::move(before.rate_selection);
    resolved_ = std::move(before.resolved);
    current_rate_source_ = before.current_rate_source;
    output_mask_ = before.output_mask;
    calculated_ = before.calculated;
    calculation_failed_ = before.calculation_failed;
    spreadsheet_output_failed_ = before.spreadsheet_output_failed;
    status_ = std::move(before.status);
    calculated_rates_ = std::move(before.calculated_rates);
    flows_by_cohort_ = std::move(before.flows_by_cohort);
    host_.set_status(status_);
    state_before_.reset();
}

void document::build_factors(const rate_set& rate_set) {
    factors_.set(&rate_set);
    factors_.make();
}

// Each cohort's subsidy and single effective rate, then the checks of the
// present values. The derivation display, when it is to be shown, computes
// the subsidies while it draws them; it is returned for build_displays.
std::optional<display_page> document::compute(const rate_set& rate_set) {
    const bool derivation_shown = (output_mask_ & settings::display_bit(derivation_display)) != 0;
    // Every cohort on all cores. When charts are kept, the last pass on the
    // curve keeps per cohort the sums by fiscal year they draw, not the whole
    // derivation record. The derivation display goes over the cohorts once
    // more: the same computation, so the same figures.
    compute_cohorts(*program_, rate_set, resolved_.single_effective_rate, worker_threads(),
                    host_.calculation_progress(), keep_chart_figures_ ? &flows_by_cohort_ : nullptr);
    build_factors(rate_set);

    program_->rate_assumptions = rate_assumptions_text(rate_set);
    program_->rate_selection = program_->rate_assumptions;
    calculated_rates_ = rate_set;
    std::optional<display_page> derivation;
    if (derivation_shown) derivation.emplace(make_derivation_display(*program_, factors_, rate_set));
    calculated_ = true;

    run_present_value_tests();
    return derivation;
}

void document::run_present_value_tests() {
    program_->messages().remove_range(37, 37);
    for (auto& cohort : program_->cohorts) present_value_test(*cohort, cohort->results, program_->messages());
}

// The subsidy and messages displays always; the others the options ask for.
void document::build_displays(std::optional<display_page> derivation) {
    keep_display(subsidy_display, make_subsidy_display(*program_));
    keep_display(messages_display, make_messages_display(*program_));

    if (output_mask_ & settings::display_bit(factor_display)) {
        free_display(factor_display);
        set_status(":  Making display of present value factors");
        keep_display(factor_display, make_factor_display(*program_, factors_));
    }
    if (output_mask_ & settings::display_bit(distribution_display)) {
        set_status(":  Making display of disbursement year details");
        keep_display(distribution_display, make_distribution_display(*program_));
    }
    if (derivation) {
        set_status(":  Making display of NPV derivations");
        keep_display(derivation_display, std::move(*derivation));
    }
    if (output_mask_ & settings::display_bit(details_display)) {
        set_status(":  Making display of subsidy derivation");
        keep_display(details_display, make_details_display(*program_));
    }
}

void document::print_chosen_displays() {
    const int print_mask = store_.read_int(section, settings::online_print_options, 0);
    if (print_mask != 0)
        for (int display = 1; display <= display_count; ++display)
            if (print_mask & settings::display_bit(display)) print_display(display);
}

// The optional displays were built for printing or spreadsheet output too;
// only those chosen for viewing stay.
void document::free_unviewed_displays() {
    const int view_mask = store_.read_int(section, settings::online_view_options, 0);
    for (int display : {factor_display, distribution_display, derivation_display, details_display})
        if (!(view_mask & settings::display_bit(display))) free_display(display);
}

// Display N goes to sheet N of a WK3 output, whichever are written. An XLSX
// output has one worksheet per chosen display, named after it, in the same order.
void document::write_spreadsheet_output() {
    const std::string output = resolved_.output_file.value_or("");
    const bool xlsx = spreadsheet_format_of(output) == spreadsheet_format::xlsx;
    const std::string template_path = program_directory_ + "4.bin";
    // Only a regular file; the writer applies its size limit when it reads it.
    if (open_regular_file(template_path, std::numeric_limits<std::size_t>::max()).status != read_status::read) {
        spreadsheet_output_failed_ = true;
        host_.show_message(std::string("Unable to create spreadsheet output in \"") + (xlsx ? "xlsx" : "wk3") +
                           "\" format.\nOne or more files in the root directory for this program may be "
                           "corrupted\nIt may be necessary to reinstall this program\n\nTechnical message: " +
                           (xlsx ? "clip_xlsx" : "clip_wk3") + "::render unable to open \"" + template_path + "\"");
        return;
    }
    if (output.empty()) throw text_error("Options call for spreadsheet output, but no filename provided");
    if (const std::optional<std::string> overwritten = refused_output(output, path_))
        throw text_error("The spreadsheet output file " + output + " is " + *overwritten +
                         "; it was not overwritten.");
    std::unique_ptr<sheet_writer> writer;
    if (xlsx)
        writer = std::make_unique<xlsx_writer>(template_path);
    else
        writer = std::make_unique<wk3_writer>(template_path);
    const int mask = store_.read_int(section, settings::online_spreadsheet_options, 0);
    for (int display = 1; display <= display_count; ++display) {
        if (mask & settings::display_bit(display)) {
            writer->name_sheet(display_sheet_name(display));
            if (const display_page* page = page_of(display)) page->write_to(*writer);
        }
        if (display < display_count) writer->next_sheet();
    }
    writer->render(output);
}

void document::run_batch(const std::string& spreadsheet, const std::string& range, const rate_choice& rates,
                       const std::optional<std::string>& wk3_output) {
    path_ = spreadsheet;
    range_name_ = range;
    new_program();
    const range_defaults defaults = parse_defaults();
    try {
        {
            workbook_file book(spreadsheet);
            book.load();
            parse_range(book, range, defaults, *program_);
        }  // the file is freed before the input grows
        edit_and_prepare(false, parts_for_batch_run());
    } catch (const text_error&) {
        throw;
    } catch (const std::exception&) {
        host_.show_message(fatal_error_text("loading document", fatal_error_ending::comma));
        return;
    }
    calculate_subsidy(rates.source, rates.selection, wk3_output);
    run_present_value_tests();
    rebuild_messages_display();
}

// The rows' distributed parts are the largest part of a program. A batch run
// without a window keeps none when nothing it prints or writes shows them: its
// calculation builds each cohort's parts again, uses them and frees them.
distribution_parts document::parts_for_batch_run() const {
    if (host_.has_view()) return distribution_parts::kept;
    const int output = store_.read_int(section, settings::online_print_options, 0) |
                       store_.read_int(section, settings::online_spreadsheet_options, 0);
    const int showing_parts =
        settings::display_bit(distribution_display) | settings::display_bit(derivation_display);
    return (output & showing_parts) != 0 ? distribution_parts::kept : distribution_parts::built_when_used;
}

bool document::print_display(int display) {
    const std::optional<std::string> text = display_text(display);
    return !text || host_.print_text(*text, path_, program_->run_time);
}

bool document::has_messages() const { return program_->messages().count() != 0; }

std::string document::messages_text() const { return program_->messages().print_text(false); }

void document::write_import_file(const std::string& path) {
    std::string reason;
    if (fv::write_import_file(*program_, path, true, &reason)) return;
    if (const std::optional<std::string> overwritten = overwritten_by_output(*program_, path))
        throw text_error("Output file " + path + " is " + *overwritten + "; it was not overwritten");
    throw text_error("Unable to open output file " + path + " (" + reason + ")");
}

std::string document::batch_lines() const { return fv::batch_lines(*program_); }

}  // namespace fv
