// Shared pieces of the desktop dialogs: message boxes, C-locale number fields
// and the platform's file checks.
#include "gui/dialog_services.h"

#include <QFile>
#include <QMessageBox>
#include <QString>
#include <QWidget>

#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <system_error>

#include "rates/rate_collection.h"
#include "util/file_io.h"
#include "util/text_error.h"

namespace fv {

dialog_services message_box_services(QWidget* parent) {
    dialog_services services;
    services.message = [parent](const std::string& text) {
        QMessageBox::information(parent, QStringLiteral("Ferravane"), to_qstring(text));
    };
    return services;
}

void guarded(const dialog_services& services, const std::function<void()>& work) {
    try {
        work();
    } catch (const text_error& failure) {
        services.tell(failure.text());
    } catch (const std::exception& failure) {
        services.tell(std::string("Unexpected failure: ") + failure.what());
    }
}

QString to_qstring(const std::string& text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }
std::string to_std(const QString& text) { return text.toUtf8().toStdString(); }
QString file_name_to_qstring(const std::string& name) { return QFile::decodeName(QByteArray::fromStdString(name)); }
std::string file_name_from_qstring(const QString& name) { return QFile::encodeName(name).toStdString(); }

namespace {

std::string_view trimmed(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
    return text;
}

}  // namespace

std::optional<double> read_number_field(const std::string& text) {
    std::string_view body = trimmed(text);
    if (body.empty()) return 0.0;
    if (body.front() == '+') body.remove_prefix(1);
    if (body.empty() || body.front() == '+') return std::nullopt;
    double value = 0.0;
    const auto [end, error] = std::from_chars(body.data(), body.data() + body.size(), value);
    if (error != std::errc() || end != body.data() + body.size() || !std::isfinite(value)) return std::nullopt;
    return value;
}

std::optional<long long> read_integer_field(const std::string& text) {
    std::string_view body = trimmed(text);
    if (!body.empty() && body.front() == '+') body.remove_prefix(1);
    if (body.empty()) return std::nullopt;
    long long value = 0;
    const auto [end, error] = std::from_chars(body.data(), body.data() + body.size(), value);
    if (error != std::errc() || end != body.data() + body.size()) return std::nullopt;
    return value;
}

std::string number_field_text(double value, int decimals) {
    // to_chars writes a point whatever the locale says.
    char buffer[400];
    const auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
    return error == std::errc() ? std::string(buffer, end) : std::string();
}

std::string full_path_of(const std::string& name) {
    if (name.empty()) return {};
    std::error_code error;
    const std::filesystem::path full = std::filesystem::absolute(name, error);
    if (error) return {};
    return full.lexically_normal().string();
}

std::string file_problem_text(int error_number, const std::string& full_path) {
    switch (error_number) {
        case 0: return "An unspecified error occurred.";
        case ENOENT: {
            // A missing folder is a bad path; a missing file in a good folder is not found.
            std::error_code error;
            const auto parent = std::filesystem::path(full_path).parent_path();
            if (!parent.empty() && !std::filesystem::is_directory(parent, error))
                return "All or part of the path is invalid.";
            return "The file could not be located.";
        }
        case ENOTDIR:
        case ENAMETOOLONG:
        case ELOOP: return "All or part of the path is invalid.";
        case EMFILE:
        case ENFILE: return "The permitted number of open files was exceeded.";
        case EACCES:
        case EPERM:
        case EROFS:
        case EISDIR: return "The file could not be accessed. Possibly a read-only directory.";
        case EBADF: return "There was an attempt to use an invalid file handle.";
        case ESPIPE: return "There was an error trying to set the file pointer.";
        case EIO: return "There was a hardware error.";
        case ETXTBSY:
        case EBUSY: return "SHARE.EXE was not loaded, or a shared region was locked.";
        case ENOLCK: return "There was an attempt to lock a region that was already locked.";
        case ENOSPC:
        case EDQUOT: return "The disk is full.";
        default: return "Unknown reason.";
    }
}

bool open_or_create(const std::string& full_path) {
    std::error_code error;
    if (std::filesystem::is_directory(full_path, error)) return false;
    // Only a regular file will do; a pipe there must not hang the dialog.
    const read_status status = open_regular_file(full_path, largest_rate_file).status;
    if (status == read_status::read) return true;
    if (status != read_status::missing) return false;
    // "a" creates a missing file and never empties an existing one.
    std::FILE* out = std::fopen(full_path.c_str(), "ab");
    if (out == nullptr) return false;
    return std::fclose(out) == 0;
}

}  // namespace fv
