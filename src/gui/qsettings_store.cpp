// The INI settings store over QSettings. Values are kept as text; integers are
// read back with the same rule as the in-memory store, so a hand-edited value
// that is not a number reads as absent. Texts that are not valid UTF-8 (file
// names on Linux may be any bytes) are stored as byte arrays so they come back
// unchanged. QSettings rewrites a file it could not fully read with only the
// part it understood, so a damaged file is kept beside it before it is lost.
#include "gui/qsettings_store.h"

#include <QSettings>
#include <QStringDecoder>
#include <QStringList>
#include <QVariant>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fstream>
#include <sstream>

namespace fv {

namespace {

QString settings_key(const std::string& section, const std::string& key) {
    return QString::fromUtf8(section.data(), static_cast<qsizetype>(section.size())) + QLatin1Char('/') +
           QString::fromUtf8(key.data(), static_cast<qsizetype>(key.size()));
}

std::unique_ptr<QSettings> open_settings(const std::string& ini_path) {
    return std::make_unique<QSettings>(QString::fromLocal8Bit(ini_path.c_str()), QSettings::IniFormat);
}

std::unique_ptr<QSettings> open_default_settings() {
    const char* named = std::getenv(settings_file_variable);
    if (named != nullptr && *named != '\0') return open_settings(named);
    return std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("Ferravane"),
                                       QStringLiteral("Ferravane"));
}

std::string stored_text(const QVariant& value) {
    if (value.typeId() == QMetaType::QByteArray) return value.toByteArray().toStdString();
    // An unquoted hand-written value with commas reads as a list.
    if (value.typeId() == QMetaType::QStringList) return value.toStringList().join(QLatin1Char(',')).toStdString();
    return value.toString().toStdString();
}

}  // namespace

qsettings_store::qsettings_store() : settings_(open_default_settings()) { check("reading"); }

qsettings_store::qsettings_store(const std::string& ini_path) : settings_(open_settings(ini_path)) {
    check("reading");
}

qsettings_store::~qsettings_store() = default;

void qsettings_store::check(const char* doing) {
    if (!problem_.empty()) return;  // the first problem is the one to report
    switch (settings_->status()) {
    case QSettings::NoError:
        return;
    case QSettings::AccessError:
        problem_ = std::string("The settings file could not be ") + (doing[0] == 'r' ? "read" : "written") +
                   ":\n" + file_path();
        return;
    case QSettings::FormatError:
        problem_ = "The settings file is damaged:\n" + file_path();
        return;
    }
}

void qsettings_store::before_write() {
    if (wrote_) return;
    std::ifstream in(file_path(), std::ios::binary);
    if (in) {
        std::ostringstream content;
        content << in.rdbuf();
        old_content_ = content.str();
    }
}

void qsettings_store::after_write() {
    settings_->sync();
    const bool first = !wrote_;
    wrote_ = true;
    if (first && old_content_ && settings_->status() == QSettings::FormatError) {
        const std::string kept = file_path() + ".damaged";
        std::ofstream out(kept, std::ios::binary | std::ios::trunc);
        out << *old_content_;
        out.close();
        problem_ = "The settings file was damaged and has been started again:\n" + file_path() +
                   (out ? "\n\nIts old content is kept in:\n" + kept : std::string());
        old_content_.reset();
        return;
    }
    old_content_.reset();
    check("writing");
}

std::int32_t qsettings_store::read_int(const std::string& section, const std::string& key, std::int32_t when_absent) {
    const QVariant value = settings_->value(settings_key(section, key));
    if (!value.isValid()) return when_absent;
    const std::string text = stored_text(value);
    errno = 0;
    char* end = nullptr;
    const long long number = std::strtoll(text.c_str(), &end, 10);
    if (end == text.c_str() || errno != 0 || number < INT32_MIN || number > INT32_MAX) return when_absent;
    return static_cast<std::int32_t>(number);
}

void qsettings_store::write_int(const std::string& section, const std::string& key, std::int32_t value) {
    before_write();
    settings_->setValue(settings_key(section, key), QString::number(value));
    after_write();
}

std::string qsettings_store::read_text(const std::string& section, const std::string& key,
                                       const std::string& when_absent) {
    const QVariant value = settings_->value(settings_key(section, key));
    return value.isValid() ? stored_text(value) : when_absent;
}

void qsettings_store::write_text(const std::string& section, const std::string& key, const std::string& value) {
    before_write();
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = decoder(QByteArrayView(value.data(), static_cast<qsizetype>(value.size())));
    if (decoder.hasError())
        settings_->setValue(settings_key(section, key), QByteArray(value.data(), static_cast<qsizetype>(value.size())));
    else
        settings_->setValue(settings_key(section, key), text);
    after_write();
}

std::string qsettings_store::file_path() const { return settings_->fileName().toLocal8Bit().toStdString(); }

std::string qsettings_store::problem() const { return problem_; }

}  // namespace fv
