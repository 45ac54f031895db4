// Shared by the desktop window tests: one QApplication for the whole test
// program (created before any test, so widgets can be made in every test),
// a user who answers the window's questions from a script, and a main window
// over a settings file of its own in a scratch folder.
#pragma once

#include <gtest/gtest.h>

#include <QApplication>

#include <clocale>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "gui/main_window_dialogs.h"
#include "gui/main_window.h"
#include "app/ini_settings_store.h"
#include "gui/user_prompts.h"
#include "gui_test_support.h"
#include "widget_application.h"

namespace fv::test {

struct scripted_prompts : user_prompts {
    std::vector<std::string> messages;
    std::optional<std::string> range_answer;
    std::vector<std::string> range_candidates;
    int range_questions = 0, wide_notices = 0, print_dialogs = 0, getting_started_shown = 0;
    int told_pages = 0;
    bool print_answer = false;
    std::vector<std::string> files_to_open;

    void message(QWidget*, const std::string& text) override { messages.push_back(text); }
    std::optional<std::string> choose_range(QWidget*, const std::string&,
                                            const std::vector<std::string>& candidates) override {
        ++range_questions;
        range_candidates = candidates;
        return range_answer;
    }
    void wide_lines_notice(QWidget*, settings_store&) override { ++wide_notices; }
    std::vector<std::string> open_file_names(QWidget*) override { return files_to_open; }
    bool print_dialog(QWidget*, QPrinter&, int pages) override {
        ++print_dialogs;
        told_pages = pages;
        return print_answer;
    }
    void getting_started(QWidget*, settings_store&, const topics*) override { ++getting_started_shown; }
};

inline std::string example(const std::string& name) { return std::string(FV_SOURCE_DIR) + "/examples/" + name; }
inline std::string program_folder() { return std::string(FV_BINARY_DIR) + "/"; }

struct desktop {
    scratch_folder folder;
    std::unique_ptr<ini_settings_store> store;
    scripted_prompts prompts;
    std::unique_ptr<main_window_dialogs> dialogs;
    std::unique_ptr<main_window> frame;

    explicit desktop(const std::string& tag) : folder("desktop-" + tag) {
        store = std::make_unique<ini_settings_store>(folder.at("settings.ini"));
        dialogs = std::make_unique<main_window_dialogs>([this](const std::string& text) { prompts.messages.push_back(text); });
        frame = std::make_unique<main_window>(*store, program_folder(), nullptr, prompts, *dialogs);
    }
    void set(const std::string& key, int value) { store->write_int("Runtime options", key, value); }
    void set(const std::string& key, const std::string& value) { store->write_text("Runtime options", key, value); }
    QAction* action(main_window::command which) const { return frame->action(which); }
};

}  // namespace fv::test
