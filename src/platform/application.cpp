#include "platform/application.h"

#include "platform/fieldfocus.h"
#include "platform/fonts.h"

#include <QApplication>
#include <QPainter>
#include <QPixmap>
#include <QSvgRenderer>

namespace gs {

void SetUpApplication() {
    ApplyFormFont();
    RegisterFontSubstitutions();
    InstallSelectAllOnFocus();
    // Every window without an icon of its own takes the application's.
    QApplication::setWindowIcon(ProgramIcon());
    // Lets the desktop (Wayland, task bars) match windows to greenslip.desktop.
    QGuiApplication::setDesktopFileName(QStringLiteral("greenslip"));
}

QIcon ProgramIcon() {
    QSvgRenderer svg(QStringLiteral(":/greenslip/greenslip.svg"));
    QIcon icon;
    if (!svg.isValid()) return icon;
    for (const int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
        QPixmap pixmap(size, size);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        svg.render(&painter);
        painter.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}

void SetApplicationTitle(const QString& title) { QCoreApplication::setApplicationName(title); }

QString ApplicationTitle() { return QCoreApplication::applicationName(); }

}  // namespace gs
