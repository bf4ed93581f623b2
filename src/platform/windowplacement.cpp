#include "platform/windowplacement.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include <algorithm>

namespace gs {

namespace {
const QScreen* ScreenOf(const QWidget& w) {
    return w.screen() ? w.screen() : QGuiApplication::primaryScreen();
}
}  // namespace

void CentreOnScreen(QWidget& window) {
    const QScreen* screen = ScreenOf(window);
    if (!screen) return;
    window.move(screen->availableGeometry().center() - QPoint(window.width() / 2, window.height() / 2));
}

void PlaceBesideOrCentredOn(QWidget& window, const QWidget& anchor) {
    const QWidget& main = *anchor.window();
    const QScreen* screen = ScreenOf(main);
    if (!screen) return;
    const QRect free = screen->availableGeometry();
    const QRect beside = main.frameGeometry();
    constexpr int kGap = 8;
    const QSize size = window.frameGeometry().size();
    const int top = std::clamp(beside.top(), free.top(), std::max(free.top(), free.bottom() + 1 - size.height()));
    QPoint at;
    if (beside.right() + kGap + size.width() <= free.right() + 1) {
        at = QPoint(beside.right() + 1 + kGap, top);
    } else if (beside.left() - kGap - size.width() >= free.left()) {
        at = QPoint(beside.left() - kGap - size.width(), top);
    } else {
        at = beside.center() - QPoint(size.width() / 2, size.height() / 2);
        at.setX(std::clamp(at.x(), free.left(), std::max(free.left(), free.right() + 1 - size.width())));
        at.setY(std::clamp(at.y(), free.top(), std::max(free.top(), free.bottom() + 1 - size.height())));
    }
    window.move(at);
}

}  // namespace gs
