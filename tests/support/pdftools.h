#pragma once
// Looks into printed PDF files with poppler's command-line tools, which
// share nothing with the Qt code that wrote them.
#include <QImage>
#include <QSizeF>
#include <QString>
#include <QStringList>
#include <vector>

namespace gs::test {

// Whether pdfinfo, pdfimages and pdftotext are installed.
bool PopplerToolsPresent();

// The first page's size in points (612 × 792 for US Letter); empty when unreadable.
QSizeF PdfPageSize(const QString& pdf);

// One line of "pdfimages -list": the image's size, colour space, bits per
// component and encoding ("image", "jpeg", "jbig2", "ccitt", ...).
struct PdfImage {
    int width = 0, height = 0;
    QString color;
    int bitsPerComponent = 0;
    QString encoding;
};
std::vector<PdfImage> PdfImages(const QString& pdf);

// Every image of the file as it is stored, decoded losslessly.
std::vector<QImage> ExtractPdfImages(const QString& pdf);

// The text of the file, as pdftotext reads it.
QString PdfText(const QString& pdf);

}  // namespace gs::test
