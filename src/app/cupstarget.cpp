#include "app/cupstarget.h"

#include "printing/paper.h"

#include <QFile>
#include <cups/cups.h>

namespace gs {

namespace {

// CUPS media names: the PPD keys Qt uses for standard sizes ("Letter",
// "A4", "Legal"), "Custom.WxH" in points otherwise.
std::string MediaOf(const std::string& paperSetting) {
    const QPageSize size = PaperFromSetting(paperSetting);
    if (size.id() != QPageSize::Custom) return QPageSize::key(size.id()).toStdString();
    const QSize points = size.sizePoints();
    return "Custom." + std::to_string(points.width()) + "x" + std::to_string(points.height());
}

}  // namespace

CupsPrintTarget::CupsPrintTarget(std::string queue, std::string paperSetting)
    : queue_(std::move(queue)), paper_(std::move(paperSetting)) {}

void CupsPrintTarget::PrintPage(const QString& jobName, const PageDrawer& draw) {
    if (!spool_.isValid()) throw PrintError("Printer error: no temporary folder for the print job.");
    const QString file = spool_.filePath("job.pdf");
    PdfFileTarget pdf([&](const QString&) { return file; }, ProgramPageLayout(paper_));
    pdf.PrintPage(jobName, draw);

    cups_option_t* options = nullptr;
    int count = cupsAddOption("media", MediaOf(paper_).c_str(), 0, &options);
    const QByteArray path = QFile::encodeName(file);
    const QByteArray title = jobName.toUtf8();
    const int job = cupsPrintFile(queue_.c_str(), path.constData(), title.constData(), count, options);
    cupsFreeOptions(count, options);
    QFile::remove(file);
    if (job == 0)
        throw PrintError("Printer error: the queue \"" + queue_ + "\" refused the job: " + cupsLastErrorString());
}

bool CupsPrintTarget::QueueExists(const std::string& queue, std::string* error) {
    cups_dest_t* dest = cupsGetNamedDest(CUPS_HTTP_DEFAULT, queue.c_str(), nullptr);
    if (dest) {
        cupsFreeDests(1, dest);
        return true;
    }
    if (error) *error = cupsLastErrorString();
    return false;
}

std::string CupsPrintTarget::DefaultQueue() {
    cups_dest_t* dest = cupsGetNamedDest(CUPS_HTTP_DEFAULT, nullptr, nullptr);
    if (!dest) return {};
    std::string name = dest->name;
    cupsFreeDests(1, dest);
    return name;
}

}  // namespace gs
