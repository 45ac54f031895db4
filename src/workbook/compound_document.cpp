// The compound-document adapter over libgsf. The container is opened from the
// file's image in memory, so it is read-only by construction and a file whose
// size was checked cannot grow underneath us.
#include "workbook/compound_document.h"

#include <gsf/gsf-infile-msole.h>
#include <gsf/gsf-infile.h>
#include <gsf/gsf-input-memory.h>
#include <gsf/gsf-utils.h>

#include <mutex>

#include "util/ascii.h"

namespace fv {

namespace {

// Owns one GObject reference.
template <typename T>
struct gobject_ref {
    T* object = nullptr;
    explicit gobject_ref(T* o) : object(o) {}
    ~gobject_ref() {
        if (object) g_object_unref(object);
    }
    gobject_ref(const gobject_ref&) = delete;
    gobject_ref& operator=(const gobject_ref&) = delete;
};

bool same_name(const char* stored, std::string_view wanted) {
    if (!stored) return false;
    return equal_ignoring_case(stored, wanted);
}

std::optional<std::vector<unsigned char>> read_whole(GsfInfile* root, int child, std::size_t image_size) {
    gobject_ref<GsfInput> stream(gsf_infile_child_by_index(root, child));
    if (!stream.object) return std::nullopt;
    // A storage of that name is not a stream.
    if (GSF_IS_INFILE(stream.object) && gsf_infile_num_children(GSF_INFILE(stream.object)) >= 0) return std::nullopt;
    const gsf_off_t size = gsf_input_size(stream.object);
    // A stream cannot hold more than the file that holds it: a larger size lies.
    if (size < 0 || static_cast<unsigned long long>(size) > image_size) return std::nullopt;
    std::vector<unsigned char> bytes(static_cast<std::size_t>(size));
    if (size > 0 && !gsf_input_read(stream.object, static_cast<std::size_t>(size), bytes.data())) return std::nullopt;
    return bytes;
}

}  // namespace

namespace {

void initialise_gsf() {
    static std::once_flag initialised;
    std::call_once(initialised, [] {
        gsf_init();
        // A damaged container makes libgsf complain on standard error; the
        // reader reports the file itself, so those complaints are dropped.
        for (const char* domain : {"libgsf", "libgsf:msole"})
            g_log_set_handler(domain, static_cast<GLogLevelFlags>(G_LOG_LEVEL_MASK | G_LOG_FLAG_FATAL | G_LOG_FLAG_RECURSION),
                              [](const gchar*, GLogLevelFlags, const gchar*, gpointer) {}, nullptr);
    });
}

// Calls `found` with the root storage and the index of the first child named
// like one of `names` (in their order); nothing when none is.
template <typename F>
auto with_child(const std::vector<unsigned char>& image, std::initializer_list<std::string_view> names, F found)
    -> decltype(found(static_cast<GsfInfile*>(nullptr), 0)) {
    initialise_gsf();
    if (image.empty()) return {};
    gobject_ref<GsfInput> input(
        gsf_input_memory_new(image.data(), static_cast<gsf_off_t>(image.size()), FALSE));
    if (!input.object) return {};
    GError* error = nullptr;
    gobject_ref<GsfInfile> root(gsf_infile_msole_new(input.object, &error));
    if (error) g_error_free(error);
    if (!root.object) return {};

    const int children = gsf_infile_num_children(root.object);
    for (std::string_view wanted : names) {
        for (int child = 0; child < children; ++child) {
            if (!same_name(gsf_infile_name_by_index(root.object, child), wanted)) continue;
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
