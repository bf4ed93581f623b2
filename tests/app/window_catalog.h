#pragma once
// Every window and dialog of the program, each in the states a user sees it
// in. The window tests walk this list (every text fully visible, the exact
// window title); a window that is not listed here is not checked.
//
// Adding a window: append one entry to the list in window_catalog.cpp (one
// line, or one line per state: a name, the exact caption, and a function that
// builds the window in that state), and link its library into
// greenslip_window_catalog_tests in tests/app/CMakeLists.txt.
#include "platform/scripteduserinteraction.h"
#include "settings/settings.h"
#include "support/tempdir.h"

#include <QList>
#include <QString>
#include <QWidget>
#include <functional>
#include <memory>

namespace gs::test {

// What a catalogued window is opened with: a sandbox for the program folder
// and the settings file, scripted answers to every modal question (a window
// that asks at start does not wait for a user), and the settings of a
// settled user (sender stored, customer ID entered, registration answered),
// also written to the settings file.
struct CatalogContext {
    CatalogContext();
    SandboxDirs dirs;
    ScopedScriptedUi scripted;
    Settings settings;
    bool showMailerScreen = true;
};

struct CatalogWindow {
    QString name;     // the window and its state, e.g. "Mailer Number, pre-printed mode, help open"
    QString caption;  // the exact title; empty for a window without a title bar
    // Builds the window in that state; the test shows it.
    std::function<std::unique_ptr<QWidget>(CatalogContext&)> open;
};

const QList<CatalogWindow>& WindowCatalog();

}  // namespace gs::test
