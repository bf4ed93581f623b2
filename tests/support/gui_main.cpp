// main() for test programs that drive windows: a QApplication on the
// offscreen platform, the program's font substitutions, then GoogleTest.
#include <QApplication>
#include <gtest/gtest.h>

#include "platform/fonts.h"

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    ::testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    QApplication::setApplicationName("Greenslip");
    gs::RegisterFontSubstitutions();
    return RUN_ALL_TESTS();
}
