#include "platform/application.h"

#include "platform/fieldfocus.h"
#include "platform/fonts.h"

#include <QCoreApplication>

namespace gs {

void SetUpApplication() {
    ApplyFormFont();
    RegisterFontSubstitutions();
    InstallSelectAllOnFocus();
}

void SetApplicationTitle(const QString& title) { QCoreApplication::setApplicationName(title); }

QString ApplicationTitle() { return QCoreApplication::applicationName(); }

}  // namespace gs
