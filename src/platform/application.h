#pragma once
// What every window of the program relies on, set up once per process by the
// program's entry and by the test programs that drive windows.
#include <QIcon>
#include <QString>

namespace gs {

// The form font as the application font, the font substitutions,
// select-all on keyboard focus and the program's icon on every window. Call
// after the QApplication exists and before the first window is created.
void SetUpApplication();

// The program's icon (the one the desktop entry shows), drawn from the SVG
// built into the program at the sizes window managers and task bars ask for.
QIcon ProgramIcon();

// The application title: the main window's caption and the name the
// program's messages go by.
//
// Only the application *name* carries it; no application display name is
// ever set. Qt's X11 platform appends the display name, when one is set, to
// every window title that does not already end in it, so the window manager
// would read "Mailer Number — Greenslip" where the dialog's caption is
// "Mailer Number". Without a display name every window shows exactly its
// own caption, and QGuiApplication::applicationDisplayName() still answers
// the title.
void SetApplicationTitle(const QString& title);
QString ApplicationTitle();

}  // namespace gs
