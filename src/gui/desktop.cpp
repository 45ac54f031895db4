// Start of the desktop program. Qt sets the C library's locale from the
// environment when the application starts; the C locale is put back at once
// so numbers keep being read and written with a decimal point.
#include "gui/desktop.h"

#include <QApplication>

#include <clocale>

#include "app/ini_settings_store.h"
#include "app/settings_keys.h"
#include "gui/document_window.h"
#include "gui/display_check.h"
#include "gui/desktop_dialogs.h"
#include "gui/main_window.h"
#include "gui/user_prompts.h"

namespace fv {

int run_desktop(int argc, char** argv, const startup_files& files, const std::vector<std::string>& files_to_open) {
    platform_start_guard no_display;  // a display that is named but not there
    QApplication application(argc, argv);
    no_display.stop();
    std::setlocale(LC_ALL, "C");
    QApplication::setApplicationName(QStringLiteral("Ferravane"));

    user_prompts prompts;
    ini_settings_store store;
    const std::string& directory = files.data_directory;
    main_window* window = nullptr;
    desktop_dialogs dialogs(store, &files.help, files.rate_file, [&window] {
        std::vector<document*> documents;
        if (window != nullptr)
            for (document_window* child : window->document_windows()) documents.push_back(&child->document());
        return documents;
    });
    main_window frame(store, directory, &files.help, prompts, dialogs);
    window = &frame;
    frame.set_document_closed([&dialogs](const document* document) { dialogs.document_closed(document); });
    frame.show();
    if (!store.problem().empty()) prompts.message(&frame, store.problem());
    if (settings::read_startup_logo(store) != 0) prompts.getting_started(&frame, store, &files.help);
    frame.open_files(files_to_open);
    return application.exec();
}

}  // namespace fv
