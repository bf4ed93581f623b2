// Program entry: the splash at once, then the main window and its message loop.
#include "app/about.h"
#include "app/tf_main.h"
#include "platform/application.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    gs::SetUpApplication();
    // Before the splash, so that no window ever goes by the executable's name.
    gs::SetApplicationTitle("Greenslip");

    auto* splash = new gs::TF_About(1, "", "");
    splash->show();
    splash->repaint();
    QCoreApplication::processEvents();

    gs::TF_Main mainWindow(splash);
    mainWindow.show();
    return app.exec();
}
