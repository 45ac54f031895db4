#include "app/desktop_module.h"

#include <dlfcn.h>

#include <filesystem>

namespace fv {

namespace {

// dlerror's text, without the file name it often begins with (the message names it already).
std::string dl_reason(const std::string& path) {
    const char* text = ::dlerror();
    std::string reason = text != nullptr ? text : "no reason given";
    if (reason.rfind(path + ": ", 0) == 0) reason.erase(0, path.size() + 2);
    return reason;
}

std::string cannot_load(const std::string& path, const std::string& reason) {
    return "The desktop part of this program, " + path + ", cannot be loaded: " + reason + ".";
}

desktop_module_load load_from(const std::string& path) {
    desktop_module_load result;
    void* handle = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle == nullptr) {
        result.failure = cannot_load(path, dl_reason(path));
        return result;
    }
    ::dlerror();
    void* symbol = ::dlsym(handle, FV_DESKTOP_ENTRY_SYMBOL);
    if (symbol == nullptr) {
        result.failure = cannot_load(path, "it has no entry table (" + dl_reason(path) + ")");
        return result;
    }
    const auto table_of = reinterpret_cast<fv_desktop_entry_function>(symbol);
    const fv_desktop_entry* entry = table_of();
    if (entry == nullptr || entry->version != fv_desktop_entry_version) {
        result.failure = cannot_load(path, "it is of version " + (entry ? std::to_string(entry->version) : "none") +
                                               ", this program needs version " +
                                               std::to_string(fv_desktop_entry_version));
        return result;
    }
    result.entry = entry;
    return result;
}

}  // namespace

const char* const installed_library_folder = FV_INSTALLED_LIBRARY_FOLDER;

std::vector<std::string> desktop_module_places(const std::string& program_dir) {
    const std::filesystem::path folder(program_dir.empty() ? "." : program_dir);
    return {(folder / desktop_module_name).lexically_normal().string(),
            (folder / ".." / installed_library_folder / "ferravane" / desktop_module_name).lexically_normal().string()};
}

desktop_module_load load_desktop_module(const std::string& program_dir) {
    const std::vector<std::string> places = desktop_module_places(program_dir);
    for (const std::string& place : places) {
        std::error_code ignored;
        if (std::filesystem::exists(place, ignored)) return load_from(place);
    }
    desktop_module_load result = load_from(places.front());
    if (!result.entry) {
        result.failure += "\n(Looked for it as:";
        for (const std::string& place : places) result.failure += "\n  " + place;
        result.failure += ")";
    }
    return result;
}

}  // namespace fv
