#pragma once
// One report laid out over its data for one kind of page.
//
// Every band has a fixed height, so the pagination follows from the record
// count alone: a page holds its page header, the column header (on pages
// that list records), as many detail bands as fit above the page footer,
// and the page footer at the bottom. The summary follows the last record,
// on a page of its own when it does not fit below it. So the number of pages
// is known at once, and any page can be drawn on demand, reading only its
// own records; nothing is kept of the pages already drawn. Only a page that
// shows report totals ({sum:...}) reads every record once, and the totals
// are then kept.
#include "printing/canvas.h"
#include "report/reportmodel.h"

#include <QHash>

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace gs {

class ReportData;

// The sheet and where its printable area lies on it, in device pixels.
struct PageFrame {
    int resolutionX = 600, resolutionY = 600;
    int sheetWidth = 0, sheetHeight = 0;
    int printableLeft = 0, printableTop = 0;  // PHYSICALOFFSETX, PHYSICALOFFSETY
    int printableWidth = 0, printableHeight = 0;
};
// The frame of a canvas, taking the unprintable margins to be equal on both
// sides of the sheet.
PageFrame FrameOfCanvas(const PrintCanvas& canvas);

struct NameLess {
    bool operator()(const std::string& a, const std::string& b) const;
};
// Parameters by name (any case).
using ReportParams = std::map<std::string, QString, NameLess>;

// Money texts as the log holds them ("      2.40", "2.4", " "): cents, or
// nothing for a blank or a text that is not an amount.
std::optional<std::int64_t> ParseCents(std::string_view text);
// "1,234.56", "-0.05".
QString FormatCents(std::int64_t cents);

// Thrown out of DrawPage when keepGoing asked to stop.
class ReportCancelled : public std::exception {
public:
    const char* what() const noexcept override { return "The report was cancelled."; }
};

class ReportRun {
public:
    // Binds the report to the data and the page. ReportError when a field is
    // not in the data (naming the file and line) or the bands do not fit.
    ReportRun(const ReportProjectFile& project, const ReportDefinition& report, ReportData& data,
              ReportParams params, const PageFrame& frame);
    ~ReportRun();
    ReportRun(const ReportRun&) = delete;
    ReportRun& operator=(const ReportRun&) = delete;

    int PageCount() const { return pages_; }
    std::uint32_t RecordCount() const { return count_; }
    int RecordsPerPage() const { return perPage_; }
    const PageFrame& Frame() const { return frame_; }
    const std::string& Name() const { return report_.name; }

    // Draws page 1 to PageCount() on a canvas whose printable area is the
    // frame's. Reads the page's records from the data.
    void DrawPage(int page, PrintCanvas& canvas);

    // Asked with the page's number every thousand records that are read to
    // reach or total a page; returning false stops with ReportCancelled.
    std::function<bool(int page)> keepGoing;

private:
    struct Part;
    struct Item;
    struct Band;
    struct Context;

    void Bind(const ReportProjectFile& project);
    void Paginate();
    void SeekTo(std::uint32_t position, int page);
    void LoadPage(int page, std::uint32_t first, int records);
    void EnsureTotals(int page);
    void DrawBand(const Band& band, int top, const Context& ctx, PrintCanvas& canvas);
    // The text's width in the font, remembered: widths in device pixels of
    // the frame are the same on every canvas the run draws on.
    int Width(PrintCanvas& canvas, int font, const QString& text);
    QString Evaluate(const Item& item, const Context& ctx) const;
    QString Value(const Part& part, const Context& ctx) const;

    const ReportDefinition& report_;
    std::string fileName_;
    ReportData& data_;
    ReportParams params_;
    PageFrame frame_;

    std::vector<CanvasFont> fonts_;
    std::vector<QHash<QString, int>> widths_;  // by font
    std::vector<Band> bands_;
    std::vector<int> slotField_;   // the data's field index for every field slot
    std::vector<bool> slotSummed_;

    std::uint32_t count_ = 0;
    int perPage_ = 0;
    int detailPages_ = 0;
    int pages_ = 0;
    bool summaryOwnPage_ = false;
    int top_ = 0, bottom_ = 0, left_ = 0;  // sheet pixels

    std::vector<std::vector<std::string>> rows_;  // the current page's records, by slot
    std::vector<std::int64_t> pageSums_;
    std::optional<std::vector<std::int64_t>> totals_;
    std::optional<std::uint32_t> lastPosition_;
};

}  // namespace gs
