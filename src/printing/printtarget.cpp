#include "printing/printtarget.h"

#include "printing/paintercanvas.h"
#include "printing/paper.h"

#include <QDateTime>
#include <QFileInfo>
#include <QPainter>
#include <QPdfWriter>

namespace gs {

void PrintPageOn(QPagedPaintDevice& device, const QString& where, const PageDrawer& draw) {
    QPainter painter;
    if (!painter.begin(&device))
        throw PrintError(("Printer error: the print job could not be started on \"" + where + "\".").toStdString());
    try {
        PainterCanvas canvas(painter, MetricsOfPagedDevice(device));
        draw(canvas);
    } catch (...) {
        painter.end();
        throw;
    }
    if (!painter.end()) throw PrintError("Printer error: the print job could not be finished.");
}

PdfFileTarget::PdfFileTarget(FileNamer nextFile, const QPageLayout& layout)
    : nextFile_(std::move(nextFile)), layout_(layout.isValid() ? layout : ProgramPageLayout("")) {}

void PdfFileTarget::PrintPage(const QString& jobName, const PageDrawer& draw) {
    const QString file = nextFile_(jobName);
    {
        QPdfWriter writer(file);
        writer.setResolution(600);
        writer.setPageLayout(layout_);
        writer.setTitle(jobName);
        writer.setCreator(QStringLiteral("Greenslip"));
        PrintPageOn(writer, file, draw);
    }
    // The writer closes its file only when it goes; a file it could not
    // finish is not a printed page.
    if (QFileInfo(file).size() == 0) throw PrintError(("Printer error: \"" + file + "\" could not be written.").toStdString());
    lastFile_ = file;
}

void RecordingPrintTarget::PrintPage(const QString& jobName, const PageDrawer& draw) {
    RecordingCanvas canvas(setup);
    draw(canvas);
    pages.push_back({jobName, std::move(canvas.items)});
}

void FailingPrintTarget::PrintPage(const QString&, const PageDrawer&) {
    throw PrintError(message_.toStdString());
}

namespace {

class NoPrintTarget : public PrintTarget {
public:
    void PrintPage(const QString&, const PageDrawer&) override {
        throw PrintError("No printer has been set up for this program.");
    }
};

PrintTarget*& Override() {
    static PrintTarget* target = nullptr;
    return target;
}
PrintTarget*& Default() {
    static PrintTarget* target = nullptr;
    return target;
}

}  // namespace

PrintTarget& CurrentPrintTarget() {
    static NoPrintTarget none;
    if (Override()) return *Override();
    return Default() ? *Default() : none;
}

void SetPrintTargetForTesting(PrintTarget* target) { Override() = target; }

void SetDefaultPrintTarget(PrintTarget* target) { Default() = target; }

QString TimeStampedPdfName(const QString& folder) {
    const QString stamp = QDateTime::currentDateTime().toString("yyyy-MM-dd_HH-mm-ss-zzz");
    QString name = folder + "/" + stamp + ".pdf";
    for (int n = 2; QFileInfo::exists(name); ++n) name = folder + "/" + stamp + "-" + QString::number(n) + ".pdf";
    return name;
}

}  // namespace gs
