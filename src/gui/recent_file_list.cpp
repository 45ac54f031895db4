// The recent-file list and its keys in the settings.
#include "gui/recent_file_list.h"

#include <algorithm>

#include "app/settings_keys.h"

namespace fv {

recent_file_list::recent_file_list(settings_store& store) : store_(store) {
    for (int n = 1; n <= size; ++n) {
        std::string file = store_.read_text(settings::recent_file_list, settings::recent_file_key(n), "");
        if (!file.empty() && std::find(files_.begin(), files_.end(), file) == files_.end())
            files_.push_back(std::move(file));
    }
}

void recent_file_list::add(const std::string& path) {
    if (path.empty()) return;
    files_.erase(std::remove(files_.begin(), files_.end(), path), files_.end());
    files_.insert(files_.begin(), path);
    if (files_.size() > static_cast<std::size_t>(size)) files_.resize(size);
    write();
}

void recent_file_list::remove(const std::string& path) {
    const auto before = files_.size();
    files_.erase(std::remove(files_.begin(), files_.end(), path), files_.end());
    if (files_.size() != before) write();
}

void recent_file_list::write() {
    for (int n = 1; n <= size; ++n) {
        const std::size_t at = static_cast<std::size_t>(n - 1);
        store_.write_text(settings::recent_file_list, settings::recent_file_key(n),
                          at < files_.size() ? files_[at] : std::string());
    }
}

}  // namespace fv
