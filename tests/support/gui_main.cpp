// main() for test programs that drive windows: a QApplication on the
// offscreen platform set up as the program sets up its own, then GoogleTest.
#include <QApplication>
#include <gtest/gtest.h>

#include "platform/application.h"

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    ::testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    gs::SetUpApplication();
    gs::SetApplicationTitle("Greenslip");
    return RUN_ALL_TESTS();
}
