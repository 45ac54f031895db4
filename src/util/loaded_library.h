// A shared library opened by its file name the first time a feature needs it,
// so that runs which never use the feature do not pay for loading it (and for
// the libraries it brings in). Opened libraries are never closed.
#pragma once

#include <string>

namespace fv {

class loaded_library {
public:
    // Opens `soname`. `needed_for` completes the failure texts:
    // "<soname> (needed to <needed_for>) cannot be loaded: <reason>" and
    // "<soname> (needed to <needed_for>) lacks <function>".
    loaded_library(const char* soname, const char* needed_for);

    // Sets `function` to the library's function `name`; a missing one is
    // remembered for require().
    template <typename Function>
    void find(const char* name, Function& function) {
        function = reinterpret_cast<Function>(address_of(name));
    }

    // Throws text_error when the library could not be opened or a function
    // asked for was missing.
    void require() const;

private:
    void* address_of(const char* name);

    std::string soname_;
    std::string needed_for_;
    void* handle_ = nullptr;
    std::string failure_;
};

}  // namespace fv
