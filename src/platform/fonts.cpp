#include "platform/fonts.h"

#include <QFont>
#include <QGuiApplication>

namespace gs {

namespace {
constexpr const char* kFormFontFamily = "Liberation Sans";
constexpr int kFormFontPixels = 11;
}  // namespace

QFont FormFont() {
    QFont font(kFormFontFamily);
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(kFormFontPixels);
    return font;
}

void ApplyFormFont() { QGuiApplication::setFont(FormFont()); }

void RegisterFontSubstitutions() {
    QFont::insertSubstitutions("OCR A Extended", {"OCRA", "OCR A", "OCR-A"});
    QFont::insertSubstitutions("Arial", {"Liberation Sans", "DejaVu Sans"});
    QFont::insertSubstitutions("Courier New", {"Liberation Mono", "DejaVu Sans Mono"});
    QFont::insertSubstitutions("MS Sans Serif", {kFormFontFamily, "DejaVu Sans"});
}

}  // namespace gs
