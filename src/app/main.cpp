// Program entry: --help and --version on the terminal, else the splash at
// once, then the main window and its message loop.
#include "app/about.h"
#include "app/commandline.h"
#include "app/tf_main.h"
#include "platform/application.h"

#include <QApplication>
#include <iostream>

int main(int argc, char** argv) {
    // Before QApplication, which needs a display.
    if (const auto status = gs::AnswerCommandLine({argv + 1, argv + argc}, std::cout)) return *status;
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
