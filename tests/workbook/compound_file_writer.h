// Writes a workbook stream into a compound document file with libgsf, so the
// streams the tests build byte by byte become real XLS files that other
// programs (xlrd, gnumeric) read too.
#pragma once

#include <gsf/gsf-outfile-msole.h>
#include <gsf/gsf-outfile.h>
#include <gsf/gsf-output-stdio.h>
#include <gsf/gsf-output.h>

#include <string>
#include <vector>

namespace fv::test {

inline bool write_compound_file(const std::string& path, const char* stream_name,
                                const std::vector<unsigned char>& stream) {
    GError* error = nullptr;
    GsfOutput* sink = gsf_output_stdio_new(path.c_str(), &error);
    if (sink == nullptr) {
        if (error != nullptr) g_error_free(error);
        return false;
    }
    GsfOutfile* document = gsf_outfile_msole_new(sink);
    g_object_unref(sink);
    GsfOutput* child = gsf_outfile_new_child(document, stream_name, FALSE);
    bool good = child != nullptr && gsf_output_write(child, stream.size(), stream.data());
    if (child != nullptr) {
        good = gsf_output_close(child) && good;
        g_object_unref(child);
    }
    good = gsf_output_close(GSF_OUTPUT(document)) && good;
    g_object_unref(document);
    return good;
}

}  // namespace fv::test
