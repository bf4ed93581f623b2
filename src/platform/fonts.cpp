#include "platform/fonts.h"

#include <QFont>
#include <QGuiApplication>

namespace gs {

void RegisterFontSubstitutions() {
    QFont::insertSubstitutions("OCR A Extended", {"OCRA", "OCR A", "OCR-A"});
    QFont::insertSubstitutions("Arial", {"Liberation Sans", "DejaVu Sans"});
    QFont::insertSubstitutions("Courier New", {"Liberation Mono", "DejaVu Sans Mono"});
    QFont::insertSubstitution("MS Sans Serif", QGuiApplication::font().family());
}

}  // namespace gs
