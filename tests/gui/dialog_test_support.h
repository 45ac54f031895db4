// Shared by the dialog tests: one offscreen QApplication (widgets need the
// full application object, so it is made before any test asks for a plain
// GUI one), a recorder of the messages a dialog shows, and a fresh INI
// settings file per test.
#pragma once

#include <QApplication>

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "gui/dialog_services.h"
#include "app/ini_settings_store.h"
#include "gui_test_support.h"
#include "widget_application.h"

namespace fv::test {

// The messages a dialog showed and the topics it asked for, in order.
struct message_recorder {
    std::vector<std::string> messages;
    std::vector<std::string> topics;

    dialog_services services() {
        dialog_services out;
        out.message = [this](const std::string& text) { messages.push_back(text); };
        out.show_topic = [this](const std::string& name) { topics.push_back(name); };
        return out;
    }
    std::string last() const { return messages.empty() ? std::string() : messages.back(); }
};

// A scratch folder with an INI settings file in it.
struct settings_file {
    scratch_folder folder;
    std::string ini;
    explicit settings_file(const std::string& tag) : folder(tag), ini(folder.at("Ferravane.ini")) {}
    // A store on the file; a new one sees what earlier ones wrote.
    std::unique_ptr<ini_settings_store> open() const { return std::make_unique<ini_settings_store>(ini); }
};

}  // namespace fv::test
