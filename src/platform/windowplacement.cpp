#include "platform/windowplacement.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

namespace gs {

void CentreOnScreen(QWidget& window) {
    const QScreen* screen = window.screen() ? window.screen() : QGuiApplication::primaryScreen();
    if (!screen) return;
    window.move(screen->availableGeometry().center() - QPoint(window.width() / 2, window.height() / 2));
}

}  // namespace gs
