// A display_printer that prints through the desktop module, loading it on the
// first print, so a batch run that prints nothing loads no GUI library. A
// module that cannot be loaded makes every print fail with the reason.
#pragma once

#include <optional>
#include <string>

#include "app/desktop_module.h"
#include "app/display_printer.h"

namespace fv {

class module_printer : public display_printer {
public:
    explicit module_printer(std::string program_dir) : program_dir_(std::move(program_dir)) {}
    // Ends what printing started in the module.
    ~module_printer() override;

    module_printer(const module_printer&) = delete;
    module_printer& operator=(const module_printer&) = delete;

    // Hands the module the files the run reads, so no print file replaces one.
    bool print(const std::string& text, const std::string& spreadsheet, const std::string& run_time,
               std::string& failure) override;

private:
    std::string program_dir_;
    std::optional<desktop_module_load> module_;
    bool printed_ = false;
};

}  // namespace fv
