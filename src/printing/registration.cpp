#include "printing/registration.h"


#include <QFile>
#include <QSvgRenderer>
#include <emf2svg.h>

#include <cstdlib>

namespace gs {

QByteArray EmfToSvg(const QByteArray& emf) {
    if (emf.isEmpty()) return {};
    generatorOptions options{};
    char ns[] = "";
    options.nameSpace = ns;
    options.verbose = false;
    options.emfplus = true;
    options.svgDelimiter = true;
    options.imgWidth = 0;
    options.imgHeight = 0;
    QByteArray input = emf;  // the converter wants a writable buffer
    char* out = nullptr;
    size_t outLength = 0;
    const int ok = emf2svg(input.data(), static_cast<size_t>(input.size()), &out, &outLength, &options);
    QByteArray svg;
    if (ok && out) svg = QByteArray(out, static_cast<qsizetype>(outLength));
    std::free(out);
    return svg;
}

QRect RegistrationFormRect(const PrintCanvas& canvas) {
    const int left = canvas.PhysicalOffsetX();
    const int top = canvas.PhysicalOffsetY();
    const int right = canvas.PrintableWidth() - canvas.PhysicalOffsetX();
    const int bottom = canvas.PrintableHeight() - canvas.PhysicalOffsetY();
    return QRect(left, top, right - left, bottom - top);
}

bool PrintRegistrationForm(PrintTarget& target, const std::string& emfPath) {
    try {
        QFile file(QString::fromStdString(emfPath));
        if (!file.open(QIODevice::ReadOnly)) return false;
        const QByteArray svg = EmfToSvg(file.readAll());
        if (svg.isEmpty()) return false;
        QSvgRenderer picture(svg);
        if (!picture.isValid()) return false;
        target.PrintPage(QStringLiteral("Bar Code Printing Registration"), [&](PrintCanvas& canvas) {
            canvas.DrawPicture(RegistrationFormRect(canvas), picture);
        });
        return true;
    } catch (...) {
        return false;
    }
}

}  // namespace gs
