// One offscreen QApplication for the whole test program, made before any
// test so widgets can be made in every test (except in a death test's child,
// which checks what happens with no application yet).
#pragma once

#include <gtest/gtest.h>

#include <QApplication>

#include <clocale>
#include <cstdlib>
#include <memory>

namespace fv::test {

class widget_application : public ::testing::Environment {
public:
    void SetUp() override {
        if (QCoreApplication::instance() != nullptr) return;
        if (!GTEST_FLAG_GET(internal_run_death_test).empty()) return;
        ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
        static int argc = 1;
        static char name[] = "test_gui";
        static char* argv[] = {name, nullptr};
        application_ = std::make_unique<QApplication>(argc, argv);
        std::setlocale(LC_ALL, "C");
    }
    // Gone before the program's exit, as in the real program: Qt's own
    // global objects (the icon theme's loader) must still be there then.
    void TearDown() override { application_.reset(); }

private:
    std::unique_ptr<QApplication> application_;
};

// gtest takes over the environment it is given.
inline ::testing::Environment* const widget_environment =
    ::testing::AddGlobalTestEnvironment(new widget_application);

}  // namespace fv::test
