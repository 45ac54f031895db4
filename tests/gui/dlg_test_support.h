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

#include "gui/dlg_common.h"
#include "gui/qsettings_store.h"
#include "gui_test_support.h"

namespace fv::test {

class widgets_environment : public ::testing::Environment {
public:
    void SetUp() override {
        if (QCoreApplication::instance() != nullptr) return;
        // A death test's child process checks what happens with no application yet.
        if (!GTEST_FLAG_GET(internal_run_death_test).empty()) return;
        ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
        application_ = std::make_unique<QApplication>(argc_, argv_);
    }
    void TearDown() override { application_.reset(); }

private:
    int argc_ = 1;
    char name_[16] = "test_gui";
    char* argv_[2] = {name_, nullptr};
    std::unique_ptr<QApplication> application_;
};

inline ::testing::Environment* const widgets_environment_registered =
    ::testing::AddGlobalTestEnvironment(new widgets_environment);

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
    std::unique_ptr<qsettings_store> open() const { return std::make_unique<qsettings_store>(ini); }
};

}  // namespace fv::test
