#include "platform/application.h"

#include <QApplication>
#include <QDialog>
#include <QImage>
#include <gtest/gtest.h>

namespace gs {
namespace {

// The test program sets itself up as the program does (support/gui_main.cpp),
// so every window it makes carries the program's icon, not the window
// manager's generic one.
TEST(ProgramIcon, EveryWindowCarriesTheDrawnIconAtEverySize) {
    QDialog dialog;
    const QIcon icon = dialog.windowIcon();
    ASSERT_FALSE(icon.isNull());
    for (const int size : {16, 32, 48, 256}) {
        SCOPED_TRACE(size);
        const QImage image = icon.pixmap(size, size).toImage();
        ASSERT_EQ(image.size(), QSize(size, size));
        // The slip fills the middle; the corners stay clear of it.
        EXPECT_EQ(qAlpha(image.pixel(size / 2, size / 2)), 255);
        EXPECT_EQ(qAlpha(image.pixel(0, 0)), 0);
    }
    EXPECT_EQ(QGuiApplication::desktopFileName(), "greenslip");
}

}  // namespace
}  // namespace gs
