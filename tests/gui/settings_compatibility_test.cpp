// The settings file against Qt's own INI reader and writer: what the store
// writes QSettings reads back unchanged, what QSettings wrote (the settings
// files of earlier versions) the store reads unchanged, and hand-written
// files read the same through both.
#include <QSettings>
#include <QStringDecoder>

#include <gtest/gtest.h>

#include "app/ini_settings_store.h"
#include "app/settings_keys.h"
#include "gui_test_support.h"

namespace fv {
namespace {

using test::scratch_folder;

const std::string section = settings::runtime_options;

QString qt_key(const std::string& group, const std::string& key) {
    return QString::fromStdString(group) + QLatin1Char('/') + QString::fromStdString(key);
}

// What the program makes of a value QSettings holds: byte arrays as their
// bytes, lists joined with commas, text as UTF-8.
std::string as_program_text(const QVariant& value) {
    if (value.typeId() == QMetaType::QByteArray) return value.toByteArray().toStdString();
    if (value.typeId() == QMetaType::QStringList) return value.toStringList().join(QLatin1Char(',')).toStdString();
    return value.toString().toStdString();
}

// Texts that are not UTF-8 go to QSettings as byte arrays, as the store of
// earlier versions wrote them.
QVariant as_qt_value(const std::string& text) {
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString decoded = decoder(QByteArrayView(text.data(), static_cast<qsizetype>(text.size())));
    if (decoder.hasError() || text.find('\0') != std::string::npos)
        return QByteArray(text.data(), static_cast<qsizetype>(text.size()));
    return decoded;
}

const std::string awkward_values[] = {
    "",
    "TRQ",
    "/home/analyst/programs/water loans.wk1",
    "@own rates.txt",
    "@@twice",
    "@ByteArray(not really)",
    "TRQ;DATA, CASH",
    "a=b",
    " leading and trailing ",
    "say \"hello\"",
    "C:\\budget\\2027\\rates.txt",
    std::string("tab\there, line\nbreak, return\r, bell\a, escape\x1b, control\x01" "1a"),
    std::string("nul \0 inside", 13),
    "Budget 2027 \xc3\xa9t\xc3\xa9 \xe2\x82\xac",
    "/home/analyst/\xff\xfe programs.wk1",
    "\x7f" "delete",
    std::string(3000, 'x'),
};

TEST(SettingsCompatibility, WhatTheStoreWritesQSettingsReadsTheSame) {
    scratch_folder folder("settings-to-qt");
    const std::string ini = folder.at("ours.ini");
    {
        ini_settings_store store(ini);
        for (std::size_t n = 0; n < std::size(awkward_values); ++n)
            store.write_text(section, "key" + std::to_string(n), awkward_values[n]);
        store.write_int(settings::recent_file_list, "File1", -2147483647 - 1);
        ASSERT_EQ(store.problem(), "");
    }
    QSettings qt(QString::fromStdString(ini), QSettings::IniFormat);
    ASSERT_EQ(qt.status(), QSettings::NoError);
    for (std::size_t n = 0; n < std::size(awkward_values); ++n)
        EXPECT_EQ(as_program_text(qt.value(qt_key(section, "key" + std::to_string(n)))), awkward_values[n]) << n;
    EXPECT_EQ(qt.value(qt_key(settings::recent_file_list, "File1")).toString(), QStringLiteral("-2147483648"));
}

TEST(SettingsCompatibility, WhatQSettingsWroteTheStoreReadsTheSame) {
    scratch_folder folder("settings-from-qt");
    const std::string ini = folder.at("qt.ini");
    {
        QSettings qt(QString::fromStdString(ini), QSettings::IniFormat);
        for (std::size_t n = 0; n < std::size(awkward_values); ++n)
            qt.setValue(qt_key(section, "key" + std::to_string(n)), as_qt_value(awkward_values[n]));
        qt.setValue(qt_key(section, "budget_year"), QStringLiteral("2027"));
        qt.sync();
        ASSERT_EQ(qt.status(), QSettings::NoError);
    }
    ini_settings_store store(ini);
    EXPECT_EQ(store.problem(), "");
    for (std::size_t n = 0; n < std::size(awkward_values); ++n)
        EXPECT_EQ(store.read_text(section, "key" + std::to_string(n), "absent"), awkward_values[n]) << n;
    EXPECT_EQ(store.read_int(section, "budget_year", 0), 2027);
    // A change rewrites one line; QSettings still reads all of it.
    store.write_text(section, "key1", "changed");
    QSettings again(QString::fromStdString(ini), QSettings::IniFormat);
    EXPECT_EQ(again.value(qt_key(section, "key1")).toString(), QStringLiteral("changed"));
    EXPECT_EQ(as_program_text(again.value(qt_key(section, "key2"))), awkward_values[2]);
}

TEST(SettingsCompatibility, HandWrittenFilesReadAlikeThroughBoth) {
    const std::string files[] = {
        "[Runtime%20options]\nrange_names=TRQ, DATA , \"x, y\"\nown_filename=\"quoted\" and not\n",
        "[Runtime options]\nown_filename=\"/tmp/a;b\"  \nrange_names=  spaced out  \n",
        "[Runtime%20options]\nown_filename=\\x41\\x42\\101\\tend\\q\n",
        "[Runtime%20options]\nown_filename=\"first\nsecond\"\nrange_names=after ; a comment\n",
        "[Runtime%20options]\r\nown_filename=windows\r\nrange_names=\"ends\"\r\n",
        "[Runtime%20options]\nown_filename=@ByteArray(\\xff\\xfe)\nrange_names=@Invalid()\n",
        "\xef\xbb\xbf[Runtime%20options]\nown_filename=after a mark\nrange_names=a\\\ncontinued\n",
        "; a comment\n[Runtime%20options]\n own_filename = indented \n",
    };
    scratch_folder folder("settings-hand-alike");
    for (const std::string& content : files) {
        const std::string ini = folder.at("hand.ini");
        std::ofstream(ini, std::ios::binary | std::ios::trunc) << content;
        QSettings qt(QString::fromStdString(ini), QSettings::IniFormat);
        ini_settings_store store(ini);
        for (const std::string& key : {settings::own_filename, settings::range_names}) {
            const QVariant value = qt.value(qt_key(section, key));
            EXPECT_EQ(store.read_text(section, key, "absent"), value.isValid() ? as_program_text(value) : "absent")
                << content << " key " << key;
        }
        EXPECT_NE(store.read_text(section, settings::own_filename, "absent"), "absent") << content;
        EXPECT_EQ(store.problem(), "") << content;
    }
}

}  // namespace
}  // namespace fv
