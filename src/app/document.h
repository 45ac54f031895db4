// The document: one spreadsheet file and everything a run does with it. It
// reads the workbook, chooses the range, parses and edits the program, and
// on request resolves the choices, finds the rate set, computes every
// cohort's subsidy and builds, prints and writes the displays. Batch mode
// drives the same document without a window.
#pragma once

#include <array>
#include <ctime>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/batch_run.h"
#include "app/conflict_resolution.h"
#include "app/display_numbers.h"
#include "app/document_host.h"
#include "app/rate_selection_state.h"
#include "app/settings_store.h"
#include "cashflow/credit_program.h"
#include "cashflow/range_parser.h"
#include "display/display_page.h"
#include "pv/present_value_factors.h"
#include "rates/rate_set.h"
#include "subsidy/flows_by_year.h"
#include "subsidy/input_editing.h"

namespace fv {

class document : public batch_document {
public:
    // `program_directory` holds rates.txt and the spreadsheet template 4.bin.
    document(settings_store& store, document_host& host, std::string program_directory,
            std::function<std::time_t()> clock = [] { return std::time(nullptr); });

    // Opening and Reload: false when the document is to be discarded (the
    // reason was shown, or the user cancelled the range choice).
    bool load_spreadsheet(const std::string& path);
    bool reload();
    // The calculation. Without a source no rate choice is passed; a rate
    // choice that names no set throws its message text before anything runs.
    void calculate_subsidy(std::optional<rate_source> source = std::nullopt, const std::string& selection = {},
                     const std::optional<std::string>& wk3_output = std::nullopt);
    void set_status(const std::string& suffix);

    // batch_document
    void run_batch(const std::string& spreadsheet, const std::string& range, const rate_choice& rates,
                  const std::optional<std::string>& wk3_output) override;
    bool calculation_completed() const override { return calculated_ && !calculation_failed_; }
    std::optional<std::string> display_text(int display) const override;
    bool print_display(int display) override;
    bool has_messages() const override;
    std::string messages_text() const override;
    void write_import_file(const std::string& path) override;
    std::string batch_lines() const override;
    bool spreadsheet_output_failed() const override { return spreadsheet_output_failed_; }

    // inspectors
    const std::string& path() const { return path_; }
    const std::string& range_name() const { return range_name_; }
    const credit_program* program() const { return program_.get(); }
    credit_program* program() { return program_.get(); }
    bool calculation_failed() const { return calculation_failed_; }
    const std::string& status() const { return status_; }
    bool has_display(int display) const { return display_text(display).has_value(); }
    const display_page* page_of(int display) const;
    int output_mask() const { return output_mask_; }
    document_rates& rates() { return rates_; }
    const resolved_choices& resolved() const { return resolved_; }
    // What the charts draw, while calculation_completed() (otherwise null and
    // empty): the rate set the calculation used, and each cohort's flows by
    // fiscal year as the calculation summed them, in the program's cohort order.
    // The flows are kept only when asked for (the desktop's charts): summing
    // them makes the last pass of a calculation many times slower, which a
    // batch run has no use for.
    void keep_chart_figures(bool keep) { keep_chart_figures_ = keep; }
    const rate_set* calculated_rate_set() const;
    const std::vector<cohort_flows>& flows_by_cohort() const;

private:
    // A rate set a batch run names, found before the calculation starts.
    struct named_rate_set {
        rate_source source;
        std::string title;
    };
    struct shown_display {
        display_page page;
        std::string text;
    };
    // What a calculation changes, kept until it can no longer be cancelled.
    struct state_before {
        std::array<std::optional<shown_display>, display_count + 1> displays;
        message_list messages;
        std::vector<cohort_results> results;
        std::optional<std::string> rate_assumptions, rate_selection;
        resolved_choices resolved;
        rate_source current_rate_source = rate_source::budget;
        int output_mask = 0;
        bool calculated = false, calculation_failed = false, spreadsheet_output_failed = false;
        std::string status;
        std::optional<rate_set> calculated_rates;
        std::vector<cohort_flows> flows_by_cohort;
    };
    state_before take_state_before();
    void put_back_state_before();

    void new_program();
    // What the settings decide for a range that does not say.
    range_defaults parse_defaults() const;
    void edit_and_prepare(bool show_wide_notice, distribution_parts parts = distribution_parts::kept);
    distribution_parts parts_for_batch_run() const;
    void free_display(int display);
    void keep_display(int display, display_page page) const;
    void build_pending_source_display() const;
    void rebuild_messages_display();
    // The stages of a calculation, in their order.
    void calculate_from_resolution(const std::optional<named_rate_set>& named_set,
                                   const std::optional<std::string>& wk3_output, std::size_t noted_messages);
    void apply_resolution(const std::optional<named_rate_set>& named_set, const std::optional<std::string>& wk3_output);
    const rate_set* resolved_rate_set();
    void build_factors(const rate_set& rate_set);
    void forget_chart_figures();
    std::optional<display_page> compute(const rate_set& rate_set);
    void run_present_value_tests();
    void build_displays(std::optional<display_page> derivation);
    void print_chosen_displays();
    void free_unviewed_displays();
    void write_spreadsheet_output();
    void add_failure_lines(const std::string& text, bool only_ended_lines);
    void report_failure(const std::string& text, bool only_ended_lines);
    spreadsheet_choices sheet_choices() const;

    settings_store& store_;
    document_host& host_;
    std::string program_directory_;
    std::function<std::time_t()> clock_;

    std::string path_;
    std::string range_name_;
    std::unique_ptr<credit_program> program_;
    present_value_factors factors_;
    document_rates rates_;
    resolved_choices resolved_;
    std::optional<rate_set> calculated_rates_;
    std::vector<cohort_flows> flows_by_cohort_;
    bool keep_chart_figures_ = false;
    // Built displays by number; the source display may wait until asked for.
    mutable std::array<std::optional<shown_display>, display_count + 1> displays_;
    mutable bool source_display_pending_ = false;
    bool calculation_failed_ = false;
    bool calculated_ = false;
    bool spreadsheet_output_failed_ = false;
    int output_mask_ = 0;
    rate_source current_rate_source_ = rate_source::budget;
    std::optional<state_before> state_before_;
    std::string status_;
};

}  // namespace fv
