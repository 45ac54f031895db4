// dlopen and dlsym behind a failure text that says what the library was for.
#include "util/loaded_library.h"

#include <dlfcn.h>

#include "util/text_error.h"

namespace fv {

loaded_library::loaded_library(const char* soname, const char* needed_for) : soname_(soname), needed_for_(needed_for) {
    handle_ = dlopen(soname, RTLD_NOW | RTLD_LOCAL);
    if (handle_ == nullptr) {
        const char* reason = dlerror();
        failure_ = soname_ + " (needed to " + needed_for_ + ") cannot be loaded: " +
                   (reason != nullptr ? reason : "unknown reason");
    }
}

void* loaded_library::address_of(const char* name) {
    if (handle_ == nullptr) return nullptr;
    void* address = dlsym(handle_, name);
    if (address == nullptr && failure_.empty()) failure_ = soname_ + " (needed to " + needed_for_ + ") lacks " + name;
    return address;
}

void loaded_library::require() const {
    if (!failure_.empty()) throw text_error(failure_);
}

}  // namespace fv
