#include "support/pdftools.h"

#include <QDir>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>

namespace gs::test {

namespace {
QString Run(const QString& tool, const QStringList& args) {
    QProcess p;
    p.start(tool, args);
    if (!p.waitForFinished(30000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0) return {};
    return QString::fromUtf8(p.readAllStandardOutput());
}
}  // namespace

bool PopplerToolsPresent() {
    for (const char* tool : {"pdfinfo", "pdfimages", "pdftotext"})
        if (QStandardPaths::findExecutable(tool).isEmpty()) return false;
    return true;
}

QSizeF PdfPageSize(const QString& pdf) {
    static const QRegularExpression size(QStringLiteral("Page size:\\s+([0-9.]+) x ([0-9.]+) pts"));
    const auto m = size.match(Run("pdfinfo", {pdf}));
    return m.hasMatch() ? QSizeF(m.captured(1).toDouble(), m.captured(2).toDouble()) : QSizeF();
}

std::vector<PdfImage> PdfImages(const QString& pdf) {
    std::vector<PdfImage> out;
    // page num type width height color comp bpc enc interp object ID ...
    const QStringList lines = Run("pdfimages", {"-list", pdf}).split('\n', Qt::SkipEmptyParts);
    for (int i = 2; i < lines.size(); ++i) {
        const QStringList f = lines[i].split(' ', Qt::SkipEmptyParts);
        if (f.size() < 9) continue;
        out.push_back({f[3].toInt(), f[4].toInt(), f[5], f[7].toInt(), f[8]});
    }
    return out;
}

std::vector<QImage> ExtractPdfImages(const QString& pdf) {
    QTemporaryDir dir;
    Run("pdfimages", {"-png", pdf, dir.filePath("img")});
    std::vector<QImage> out;
    for (const QString& name : QDir(dir.path()).entryList({"img-*.png"}, QDir::Files, QDir::Name))
        out.push_back(QImage(dir.filePath(name)));
    return out;
}

QString PdfText(const QString& pdf) { return Run("pdftotext", {"-layout", pdf, "-"}); }

}  // namespace gs::test
