// The compound-document adapter over libgsf (opened on first use). The container is opened from the
// file's image in memory, so it is read-only by construction and a file whose
// size was checked cannot grow underneath us.
#include "workbook/compound_document.h"

#include <gsf/gsf-infile-msole.h>
#include <gsf/gsf-infile.h>
#include <gsf/gsf-input-memory.h>
#include <gsf/gsf-utils.h>

#include <dlfcn.h>

#include <mutex>
#include <string>

#include "util/ascii.h"
#include "util/text_error.h"

namespace fv {

namespace {

// libgsf is opened the first time an Excel 97 (OLE2) file is read, not at
// program start: it brings in GLib, GIO, libxml2 and ICU, whose loading would
// otherwise be most of a small batch run's time.
struct gsf_library {
    void (*init)();
    GsfInput* (*input_memory_new)(const guint8*, gsf_off_t, gboolean);
    GsfInfile* (*infile_msole_new)(GsfInput*, GError**);
    int (*infile_num_children)(GsfInfile*);
    const char* (*infile_name_by_index)(GsfInfile*, int);
    GsfInput* (*infile_child_by_index)(GsfInfile*, int);
    GType (*infile_get_type)();
    gsf_off_t (*input_size)(GsfInput*);
    const guint8* (*input_read)(GsfInput*, std::size_t, guint8*);
    void (*object_unref)(gpointer);
    gboolean (*type_check_instance_is_a)(GTypeInstance*, GType);
    void (*error_free)(GError*);
    guint (*log_set_handler)(const gchar*, GLogLevelFlags, GLogFunc, gpointer);
};

template <typename Function>
void resolve(void* handle, const char* name, Function& function, std::string& missing) {
    function = reinterpret_cast<Function>(dlsym(handle, name));
    if (function == nullptr && missing.empty()) missing = name;
}

const gsf_library& gsf() {
    static std::once_flag loaded;
    static gsf_library library{};
    static std::string failure;
    std::call_once(loaded, [] {
        // The library and, through it, GLib's; never closed: its types stay registered.
        void* handle = dlopen(FV_GSF_SONAME, RTLD_NOW | RTLD_LOCAL);
        if (handle == nullptr) {
            const char* reason = dlerror();
            failure = std::string(FV_GSF_SONAME) + " (needed to read Excel 97 files) cannot be loaded: " +
                      (reason != nullptr ? reason : "unknown reason");
            return;
        }
        std::string missing;
        resolve(handle, "gsf_init", library.init, missing);
        resolve(handle, "gsf_input_memory_new", library.input_memory_new, missing);
        resolve(handle, "gsf_infile_msole_new", library.infile_msole_new, missing);
        resolve(handle, "gsf_infile_num_children", library.infile_num_children, missing);
        resolve(handle, "gsf_infile_name_by_index", library.infile_name_by_index, missing);
        resolve(handle, "gsf_infile_child_by_index", library.infile_child_by_index, missing);
        resolve(handle, "gsf_infile_get_type", library.infile_get_type, missing);
        resolve(handle, "gsf_input_size", library.input_size, missing);
        resolve(handle, "gsf_input_read", library.input_read, missing);
        resolve(handle, "g_object_unref", library.object_unref, missing);
        resolve(handle, "g_type_check_instance_is_a", library.type_check_instance_is_a, missing);
        resolve(handle, "g_error_free", library.error_free, missing);
        resolve(handle, "g_log_set_handler", library.log_set_handler, missing);
        if (!missing.empty()) {
            failure = std::string(FV_GSF_SONAME) + " (needed to read Excel 97 files) lacks " + missing;
            return;
        }
        library.init();
        // A damaged container makes libgsf complain on standard error; the
        // reader reports the file itself, so those complaints are dropped.
        for (const char* domain : {"libgsf", "libgsf:msole"})
            library.log_set_handler(domain,
                                    static_cast<GLogLevelFlags>(G_LOG_LEVEL_MASK | G_LOG_FLAG_FATAL | G_LOG_FLAG_RECURSION),
                                    [](const gchar*, GLogLevelFlags, const gchar*, gpointer) {}, nullptr);
    });
    if (!failure.empty()) throw text_error(failure);
    return library;
}

// Owns one GObject reference.
template <typename T>
struct gobject_ref {
    T* object = nullptr;
    explicit gobject_ref(T* o) : object(o) {}
    ~gobject_ref() {
        if (object) gsf().object_unref(object);
    }
    gobject_ref(const gobject_ref&) = delete;
    gobject_ref& operator=(const gobject_ref&) = delete;
};

bool same_name(const char* stored, std::string_view wanted) {
    if (!stored) return false;
    return equal_ignoring_case(stored, wanted);
}

std::optional<std::vector<unsigned char>> read_whole(GsfInfile* root, int child, std::size_t image_size) {
    const gsf_library& lib = gsf();
    gobject_ref<GsfInput> stream(lib.infile_child_by_index(root, child));
    if (!stream.object) return std::nullopt;
    // A storage of that name is not a stream.
    if (lib.type_check_instance_is_a(reinterpret_cast<GTypeInstance*>(stream.object), lib.infile_get_type()) &&
        lib.infile_num_children(reinterpret_cast<GsfInfile*>(stream.object)) >= 0)
        return std::nullopt;
    const gsf_off_t size = lib.input_size(stream.object);
    // A stream cannot hold more than the file that holds it: a larger size lies.
    if (size < 0 || static_cast<unsigned long long>(size) > image_size) return std::nullopt;
    std::vector<unsigned char> bytes(static_cast<std::size_t>(size));
    if (size > 0 && !lib.input_read(stream.object, static_cast<std::size_t>(size), bytes.data())) return std::nullopt;
    return bytes;
}

// Calls `found` with the root storage and the index of the first child named
// like one of `names` (in their order); nothing when none is.
template <typename F>
auto with_child(const std::vector<unsigned char>& image, std::initializer_list<std::string_view> names, F found)
    -> decltype(found(static_cast<GsfInfile*>(nullptr), 0)) {
    const gsf_library& lib = gsf();
    if (image.empty()) return {};
    gobject_ref<GsfInput> input(lib.input_memory_new(image.data(), static_cast<gsf_off_t>(image.size()), FALSE));
    if (!input.object) return {};
    GError* error = nullptr;
    gobject_ref<GsfInfile> root(lib.infile_msole_new(input.object, &error));
    if (error) lib.error_free(error);
    if (!root.object) return {};

    const int children = lib.infile_num_children(root.object);
    for (std::string_view wanted : names) {
        for (int child = 0; child < children; ++child) {
            if (!same_name(lib.infile_name_by_index(root.object, child), wanted)) continue;
            return found(root.object, child);
        }
    }
    return {};
}

}  // namespace

std::optional<std::vector<unsigned char>> compound_stream(const std::vector<unsigned char>& image,
                                                          std::initializer_list<std::string_view> names) {
    return with_child(image, names, [&](GsfInfile* root, int child) { return read_whole(root, child, image.size()); });
}

bool compound_holds_stream(const std::vector<unsigned char>& image, std::string_view name) {
    return with_child(image, {name}, [](GsfInfile*, int) { return true; });
}

}  // namespace fv
