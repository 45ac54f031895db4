#include "app/module_printer.h"

#include <vector>

#include "util/run_files.h"

namespace fv {

namespace {

void keep_text(void* context, const char* text, std::size_t size) {
    static_cast<std::string*>(context)->assign(text, size);
}

}  // namespace

module_printer::~module_printer() {
    if (printed_ && module_ && module_->entry) module_->entry->end_printing();
}

bool module_printer::print(const std::string& text, const std::string& spreadsheet, const std::string& run_time,
                           std::string& failure) {
    if (!module_) module_ = load_desktop_module(program_dir_);
    if (!module_->entry) {
        failure = module_->failure;
        return false;
    }
    const std::vector<noted_run_file> files = noted_run_files();
    std::vector<fv_run_file> handed;
    handed.reserve(files.size());
    for (const noted_run_file& file : files) handed.push_back({file.path.c_str(), file.description.c_str()});
    printed_ = true;
    failure.clear();
    return module_->entry->print_text(text.data(), text.size(), spreadsheet.c_str(), run_time.c_str(),
                                      handed.data(), handed.size(), keep_text, &failure) != 0;
}

}  // namespace fv
