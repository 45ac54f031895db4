// The text of the settings file: [sections] of key=value lines, in the
// escaped form Qt's QSettings writes to INI files, so a file written by an
// earlier version of the program reads the same. Lines that begin with "#" or
// ";" are comments. Changing a value rewrites only that value's line, so
// comments, blank lines and keys of other programs stay as they were.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace fv {

class ini_file {
public:
    // Reads the text; never fails. Lines it cannot read (no "=", a section
    // without its "]") make the file damaged and are kept as they are.
    explicit ini_file(std::string_view text = {});

    // A line could not be read.
    bool damaged() const { return damaged_; }

    // The value of the key in the section (the last one when the key is there
    // twice), or nothing. Texts come back as their bytes.
    std::optional<std::string> value(const std::string& section, const std::string& key) const;

    // Sets the key's value: its line is rewritten, or a line is added to the
    // section, or the section is added at the end.
    void set(const std::string& section, const std::string& key, const std::string& value);

    // The whole text, as read with the changes made.
    std::string text() const;

    // A new file holding only the values that could be read.
    ini_file readable_values() const;

private:
    enum class line_kind { other, section, entry };
    struct line {
        line_kind kind = line_kind::other;
        std::string raw;      // the exact bytes, line end included
        std::string section;  // the section it belongs to (its own name for a section line)
        std::string key;
        std::optional<std::string> value;  // absent: a value that stands for none
    };

    void read(std::string_view text);

    std::vector<line> lines_;
    bool damaged_ = false;
};

// The line "key=value" as QSettings writes it (no line end); exposed for tests.
std::string ini_entry_text(const std::string& key, const std::string& value);

}  // namespace fv
