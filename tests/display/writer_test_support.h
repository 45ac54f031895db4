// What the writer tests share: the shipped templates, a scratch folder that
// cleans up after itself, reading a file back, and gnumeric's ssconvert as an
// independent reader of the images.
#pragma once

#include <unistd.h>

#include <clocale>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace fv::test {

inline std::string shipped_template(const char* name) { return std::string(FV_SOURCE_DIR) + "/data/" + name; }

inline std::vector<unsigned char> file_bytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline void write_bytes(const std::string& path, const std::vector<unsigned char>& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

inline unsigned u16_at(const std::vector<unsigned char>& bytes, std::size_t at) {
    return bytes[at] | (bytes[at + 1] << 8);
}

// A fresh folder under the system's temporary folder, removed with its contents.
class scratch_folder {
public:
    scratch_folder() {
        std::string pattern = (std::filesystem::temp_directory_path() / "fv_clip_XXXXXX").string();
        if (::mkdtemp(pattern.data()) != nullptr) path_ = pattern;
    }
    ~scratch_folder() {
        std::error_code ignored;
        if (!path_.empty()) std::filesystem::remove_all(path_, ignored);
    }
    scratch_folder(const scratch_folder&) = delete;
    scratch_folder& operator=(const scratch_folder&) = delete;

    const std::string& path() const { return path_; }
    std::string file(const std::string& name) const { return path_ + "/" + name; }
    // Names in the folder, to see that no temporary file is left behind.
    std::vector<std::string> names() const {
        std::vector<std::string> found;
        for (const auto& entry : std::filesystem::directory_iterator(path_)) found.push_back(entry.path().filename());
        return found;
    }

private:
    std::string path_;
};

// Switches the program to a locale whose decimal point is a comma. When the
// system has not installed de_DE.UTF-8 it is built once into the build folder
// (LOCPATH points there); false when neither works. restore_c_locale undoes it.
inline bool switch_to_comma_locale() {
    if (std::setlocale(LC_ALL, "de_DE.UTF-8") != nullptr) return true;
    const std::string folder = std::string(FV_BINARY_DIR) + "/test_locales";
    // Built before LOCPATH is used: the C library remembers a locale it did not find.
    if (!std::filesystem::exists(folder + "/de_DE.UTF-8")) {
        std::error_code ignored;
        std::filesystem::create_directories(folder, ignored);
        // Tests run side by side: build under a private name and rename, so none sees a half-built locale.
        const std::string scratch = folder + "/de_DE.UTF-8." + std::to_string(::getpid());
        const std::string command = "localedef -i de_DE -f UTF-8 '" + scratch + "' >/dev/null 2>&1";
        if (std::system(command.c_str()) != 0) return false;
        std::error_code renamed;
        std::filesystem::rename(scratch, folder + "/de_DE.UTF-8", renamed);
        if (renamed) std::filesystem::remove_all(scratch, renamed);
    }
    ::setenv("LOCPATH", folder.c_str(), 1);
    if (std::setlocale(LC_ALL, "de_DE.UTF-8") != nullptr) return true;
    ::unsetenv("LOCPATH");
    return false;
}

inline void restore_c_locale() {
    std::setlocale(LC_ALL, "C");
    ::unsetenv("LOCPATH");
}

inline bool have_ssconvert() { return std::system("command -v ssconvert >/dev/null 2>&1") == 0; }

// Raw cell values of a sheet as CSV lines (ssconvert's text export); false when ssconvert failed.
inline bool ssconvert_csv(const std::string& in, const std::string& out, const std::string& sheet,
                          std::string& csv) {
    std::string options = "format=raw separator=, quoting-mode=never";
    if (!sheet.empty()) options += " sheet=" + sheet;
    const std::string command = "ssconvert -T Gnumeric_stf:stf_assistant -O '" + options + "' '" + in + "' '" + out +
                                "' >/dev/null 2>&1";
    if (std::system(command.c_str()) != 0) return false;
    const auto bytes = file_bytes(out);
    csv.assign(bytes.begin(), bytes.end());
    return true;
}

}  // namespace fv::test
