#include "printing/printtarget.h"

#include "printing/paintercanvas.h"
#include "printing/paper.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QPainter>
#include <QPdfWriter>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

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

QString PartFileName(const QString& file) {
    const QFileInfo info(file);
    return info.path() + "/." + info.fileName() + ".part";
}

namespace {

// Gives the finished file its name, never replacing a file that took that
// name meanwhile. False with errno set when it cannot.
bool RenameNoReplace(const QString& from, const QString& to) {
    const QByteArray a = QFile::encodeName(from), b = QFile::encodeName(to);
    if (::renameat2(AT_FDCWD, a.constData(), AT_FDCWD, b.constData(), RENAME_NOREPLACE) == 0) return true;
    if (errno != EINVAL && errno != ENOSYS) return false;
    // A file system that cannot refuse by itself: a hard link is refused
    // when the name is taken.
    if (::link(a.constData(), b.constData()) != 0) return false;
    ::unlink(a.constData());
    return true;
}

}  // namespace

void PdfFileTarget::PrintPage(const QString& jobName, const PageDrawer& draw) {
    const QString file = nextFile_(jobName);
    // Written under a name of its own in the same folder and named when
    // complete: a job cut short (a failure, a process killed) never leaves a
    // truncated file under the name of a printed piece.
    const QString part = PartFileName(file);
    auto fail = [&](const QString& why) {
        QFile::remove(part);
        throw PrintError(("Printer error: \"" + file + "\" could not be written" + why + ".").toStdString());
    };
    try {
        QPdfWriter writer(part);
        writer.setResolution(600);
        writer.setPageLayout(layout_);
        writer.setTitle(jobName);
        writer.setCreator(QStringLiteral("Greenslip"));
        PrintPageOn(writer, file, draw);
    } catch (...) {
        QFile::remove(part);
        throw;
    }
    // The writer closes its file only when it goes; a file it could not
    // finish is not a printed page.
    if (QFileInfo(part).size() == 0) fail({});
    if (!RenameNoReplace(part, file)) fail(QStringLiteral(": ") + QString::fromLocal8Bit(std::strerror(errno)));
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

QString TimeStampedPdfName(const QString& folder, const QString& prefix) {
    const QString stamp = (prefix.isEmpty() ? QString() : prefix + "_") +
                          QDateTime::currentDateTime().toString("yyyy-MM-dd_HH-mm-ss-zzz");
    QString name = folder + "/" + stamp + ".pdf";
    for (int n = 2; QFileInfo::exists(name); ++n) name = folder + "/" + stamp + "-" + QString::number(n) + ".pdf";
    return name;
}

}  // namespace gs
