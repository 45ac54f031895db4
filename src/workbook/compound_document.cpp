// The compound-document adapter over libgsf (opened on first use). The container is opened from the
// file's image in memory, so it is read-only by construction and a file whose
// size was checked cannot grow underneath us.
#include "workbook/compound_document.h"

#include <gsf/gsf-infile-msole.h>
#include <gsf/gsf-infile.h>
#include <gsf/gsf-input-memory.h>
#include <gsf/gsf-utils.h>

#include <string>

#include "util/ascii.h"
#include "util/loaded_library.h"
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

const gsf_library& gsf() {
    // Opened once; a library that cannot be loaded is tried again by the next
    // file and fails the same way.
    static const gsf_library library = [] {
        // The library and, through it, GLib's; its types stay registered.
        loaded_library opened(FV_GSF_SONAME, "read Excel 97 files");
        gsf_library functions{};
        opened.find("gsf_init", functions.init);
        opened.find("gsf_input_memory_new", functions.input_memory_new);
        opened.find("gsf_infile_msole_new", functions.infile_msole_new);
        opened.find("gsf_infile_num_children", functions.infile_num_children);
        opened.find("gsf_infile_name_by_index", functions.infile_name_by_index);
        opened.find("gsf_infile_child_by_index", functions.infile_child_by_index);
        opened.find("gsf_infile_get_type", functions.infile_get_type);
        opened.find("gsf_input_size", functions.input_size);
        opened.find("gsf_input_read", functions.input_read);
        opened.find("g_object_unref", functions.object_unref);
        opened.find("g_type_check_instance_is_a", functions.type_check_instance_is_a);
        opened.find("g_error_free", functions.error_free);
        opened.find("g_log_set_handler", functions.log_set_handler);
        opened.require();
        functions.init();
        // A damaged container makes libgsf complain on standard error; the
        // reader reports the file itself, so those complaints are dropped.
        for (const char* domain : {"libgsf", "libgsf:msole"})
            functions.log_set_handler(domain,
                                      static_cast<GLogLevelFlags>(G_LOG_LEVEL_MASK | G_LOG_FLAG_FATAL | G_LOG_FLAG_RECURSION),
                                      [](const gchar*, GLogLevelFlags, const gchar*, gpointer) {}, nullptr);
        return functions;
    }();
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
