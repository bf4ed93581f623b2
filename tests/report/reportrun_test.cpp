#include "report/reportrun.h"

#include "report/projectreader.h"
#include "report/reporttestutil.h"

#include <gtest/gtest.h>

namespace gs {
namespace {

using test::MemoryData;
using test::PageLines;

// A sheet 2.5 in high: the bands below leave room for five records a page.
RecordingCanvasSetup ShortSheet() {
    RecordingCanvasSetup s;
    s.printableHeight = 1500;
    return s;
}

const char* const kListing =
    "font Body face=Arial size=8\n"
    "report R connection=C margins=0\n"
    "  band PageHeader height=0.5\n"
    "    text x=0 w=4 \"Page {page} of {pages}\"\n"
    "  band ColumnHeader height=0.25\n"
    "    text x=0 w=4 \"Name\"\n"
    "  band Detail height=0.25\n"
    "    text x=0 w=1 \"{line}\"\n"
    "    text x=1 w=3 \"{field:name}\"\n"
    "  band PageFooter height=0.5\n"
    "    text x=0 w=4 \"{pagecount} on this page, {pagesum:fee}\"\n"
    "  band Summary height=0.5\n"
    "    text x=0 w=4 \"{count} in all, {sum:fee}\"\n"
    "end\n";

std::vector<std::vector<std::string>> Names(int n) {
    std::vector<std::vector<std::string>> rows;
    for (int i = 1; i <= n; ++i) rows.push_back({"N" + std::to_string(i), "1.00"});
    return rows;
}

std::vector<QStringList> DrawAll(ReportRun& run, const RecordingCanvasSetup& setup) {
    std::vector<QStringList> pages;
    for (int p = 1; p <= run.PageCount(); ++p) {
        RecordingCanvas canvas(setup);
        run.DrawPage(p, canvas);
        pages.push_back(PageLines(canvas.items));
    }
    return pages;
}

TEST(ReportRun, PagesBreakAfterFiveRecordsAndTheSummaryFollowsTheLast) {
    const ReportProjectFile project = ParseReportProject(kListing, "t.rpt");
    {
        MemoryData data({"name", "fee"}, Names(12));
        ReportRun run(project, project.reports[0], data, {}, FrameOfCanvas(RecordingCanvas(ShortSheet())));
        EXPECT_EQ(run.RecordsPerPage(), 5);
        const auto pages = DrawAll(run, ShortSheet());
        ASSERT_EQ(pages.size(), 3u);
        EXPECT_EQ(pages[0], QStringList({"Page 1 of 3", "Name", "1 | N1", "2 | N2", "3 | N3", "4 | N4", "5 | N5",
                                         "5 on this page, 5.00"}));
        EXPECT_EQ(pages[1][2], "6 | N6");
        EXPECT_EQ(pages[2], QStringList({"Page 3 of 3", "Name", "11 | N11", "12 | N12", "12 in all, 12.00",
                                         "2 on this page, 2.00"}));
    }
    {
        // A full last page leaves no room: the summary gets a page of its
        // own, without column heads or page figures.
        MemoryData data({"name", "fee"}, Names(10));
        ReportRun run(project, project.reports[0], data, {}, FrameOfCanvas(RecordingCanvas(ShortSheet())));
        const auto pages = DrawAll(run, ShortSheet());
        ASSERT_EQ(pages.size(), 3u);
        EXPECT_EQ(pages[1].last(), "5 on this page, 5.00");
        EXPECT_EQ(pages[2], QStringList({"Page 3 of 3", "10 in all, 10.00"}));
    }
    {
        MemoryData data({"name", "fee"}, {});
        ReportRun run(project, project.reports[0], data, {}, FrameOfCanvas(RecordingCanvas(ShortSheet())));
        EXPECT_EQ(DrawAll(run, ShortSheet()),
                  std::vector<QStringList>({{"Page 1 of 1", "0 in all, 0.00"}}));
    }
}

TEST(ReportRun, BandsStandAtTheirPlacesInsideTheMarginsAndPrintableArea) {
    const ReportProjectFile project = ParseReportProject(
        "font Body face=Arial size=9 bold\n"
        "report R connection=C margins=0.5,1,0.5,1\n"
        "  band PageHeader height=0.5\n"
        "    text x=0.25 y=0.1 w=4 \"head\"\n"
        "    box x=0 y=0 w=2 h=0.5 thick=0.02\n"
        "  band Detail height=0.2\n"
        "    text x=1 w=2 align=right \"{field:name}\"\n"
        "    rule x=0 y=0.19 w=3\n"
        "  band PageFooter height=0.3\n"
        "    text x=0 w=2 align=center \"foot\"\n"
        "end\n",
        "t.rpt");
    RecordingCanvasSetup setup;
    setup.physicalOffsetX = 100;  // the device cannot print the outer 1/6 in
    setup.physicalOffsetY = 100;
    setup.printableWidth = 5100 - 200;
    setup.printableHeight = 6600 - 200;
    MemoryData data({"name"}, {{"abc"}});
    ReportRun run(project, project.reports[0], data, {}, FrameOfCanvas(RecordingCanvas(setup)));
    RecordingCanvas canvas(setup);
    run.DrawPage(1, canvas);
    // Inches from the sheet's corner, less the unprintable offset.
    const RecordedItem* head = test::FindText(canvas.items, "head");
    ASSERT_NE(head, nullptr);
    EXPECT_EQ(head->x, 450 - 100);
    EXPECT_EQ(head->y, 660 - 100);
    EXPECT_EQ(head->font.height, -75);  // 9 pt at 600 dpi
    EXPECT_TRUE(head->font.Bold());
    const RecordedItem* name = test::FindText(canvas.items, "abc");
    ASSERT_NE(name, nullptr);
    EXPECT_EQ(name->y, 600 + 300 - 100);                       // below the page header
    EXPECT_EQ(name->x, 300 + 600 + 1200 - 3 * 37 - 100);       // right-aligned in its column
    const RecordedItem* foot = test::FindText(canvas.items, "foot");
    ASSERT_NE(foot, nullptr);
    EXPECT_EQ(foot->y, 6600 - 600 - 180 - 100);                // the footer ends at the bottom margin
    EXPECT_EQ(foot->x, 300 + (1200 - 4 * 37) / 2 - 100);
    std::vector<QRect> rects;
    for (const RecordedItem& i : canvas.items)
        if (i.kind == RecordedItem::Kind::Rect) rects.emplace_back(i.x, i.y, i.width, i.height);
    const std::vector<QRect> expected = {
        {200, 500, 1200, 12}, {200, 500 + 300 - 12, 1200, 12}, {200, 500, 12, 300}, {200 + 1200 - 12, 500, 12, 300},
        {200, 800 + 114, 1800, 6}};
    EXPECT_EQ(rects, expected);
}

TEST(ReportRun, LongTextsAreCutToTheirColumn) {
    const ReportProjectFile project = ParseReportProject(
        "font Body face=Arial size=8\n"
        "report R connection=C margins=0\n"
        "  band Detail height=0.2\n"
        "    text x=0 w=1 \"{field:name}\"\n"
        "    text x=1 w=1 align=right \"{field:name}\"\n"
        "end\n",
        "t.rpt");
    // The recording canvas measures 33 px a character at 8 pt: 18 fit in 1 in.
    MemoryData data({"name"}, {{"ABCDEFGHIJKLMNOPQ RSTUVWXYZ"}, {"Short"}});
    ReportRun run(project, project.reports[0], data, {}, FrameOfCanvas(RecordingCanvas()));
    RecordingCanvas canvas;
    run.DrawPage(1, canvas);
    ASSERT_EQ(canvas.items.size(), 4u);
    EXPECT_EQ(canvas.items[0].text, "ABCDEFGHIJKLMNOPQ");  // cut after 18 characters, the blank dropped
    EXPECT_EQ(canvas.items[1].text, "ABCDEFGHIJKLMNOPQ");
    EXPECT_EQ(canvas.items[1].x, 600 + 600 - 17 * 33);
    EXPECT_LE(canvas.items[1].x + 17 * 33, 1200);
    EXPECT_EQ(canvas.items[2].text, "Short");
}

TEST(ReportRun, EmptyValuesTakeTheirSeparatorsAndLabelsWithThem) {
    const ReportProjectFile project = ParseReportProject(
        "font Body face=Arial size=8\n"
        "report R connection=C margins=0\n"
        "  band Detail height=0.2\n"
        "    text x=0 w=7 \"{field:city}, {field:state} {field:zip}\"\n"
        "    text x=0 y=0.1 w=7 \"RE: {field:re}.\"\n"
        "end\n",
        "t.rpt");
    struct Case {
        std::vector<std::string> record;  // city, state, zip, re
        QStringList lines;
    } cases[] = {
        {{"Springfield", "IL", "62701", "Rent"}, {"Springfield, IL 62701", "RE: Rent."}},
        {{"", "IL", "62701", ""}, {"IL 62701"}},
        {{"Springfield", "", "62701", ""}, {"Springfield 62701"}},
        {{"Springfield", "IL", "", ""}, {"Springfield, IL"}},
        {{"", "", "", ""}, {}},
    };
    for (const Case& c : cases) {
        MemoryData data({"city", "state", "zip", "re"}, {c.record});
        ReportRun run(project, project.reports[0], data, {}, FrameOfCanvas(RecordingCanvas()));
        RecordingCanvas canvas;
        run.DrawPage(1, canvas);
        EXPECT_EQ(PageLines(canvas.items), c.lines) << c.record[0] << "/" << c.record[1];
    }
}

TEST(ReportRun, MoneyTextsAddUpInCents) {
    struct Case {
        const char* text;
        std::optional<std::int64_t> cents;
    } cases[] = {
        {"          2.40", 240}, {"2.4", 240}, {"3", 300}, {" 0.395 ", 40}, {"0.394", 39}, {"-1.05", -105},
        {".5", 50}, {" ", std::nullopt}, {"", std::nullopt}, {"$2.40", std::nullopt}, {"2,40", std::nullopt},
        {"1.2.3", std::nullopt}, {".", std::nullopt},
    };
    for (const Case& c : cases) EXPECT_EQ(ParseCents(c.text), c.cents) << c.text;
    EXPECT_EQ(FormatCents(0), "0.00");
    EXPECT_EQ(FormatCents(5), "0.05");
    EXPECT_EQ(FormatCents(-5), "-0.05");
    EXPECT_EQ(FormatCents(123456789), "1,234,567.89");
    EXPECT_EQ(FormatCents(100000), "1,000.00");
}

TEST(ReportRun, ParametersFieldsAndBadBindings) {
    const ReportProjectFile project = ParseReportProject(
        "font Body face=Arial size=8\n"
        "report R connection=C margins=0\n"
        "  band PageHeader height=0.3\n"
        "    text x=0 w=7 \"{param:MyTime}\"\n"
        "    text x=0 y=0.1 w=7 \"[{param:unset}]\"\n"
        "  band Detail height=0.2\n"
        "    text x=0 w=7 \"{field:NAME}\"\n"
        "end\n"
        "report Bad connection=C margins=0\n"
        "  band Detail height=0.2\n"
        "    text x=0 w=7 \"{field:nosuch}\"\n"
        "end\n"
        "report Huge connection=C margins=0\n"
        "  band Detail height=20\n"
        "    text x=0 w=7 \"x\"\n"
        "end\n",
        "/p/t.rpt");
    MemoryData data({"name"}, {{"Jos\xe9"}});
    ReportParams params;
    params["mytime"] = "Date Printed: 05/01/2024 3:04:05 PM";  // any case
    ReportRun run(project, project.reports[0], data, params, FrameOfCanvas(RecordingCanvas()));
    RecordingCanvas canvas;
    run.DrawPage(1, canvas);
    EXPECT_EQ(PageLines(canvas.items), QStringList({"Date Printed: 05/01/2024 3:04:05 PM", QString::fromUtf8("José")}));
    // "[" and "]" stand before and after the only value, which is empty.

    try {
        ReportRun bad(project, project.reports[1], data, {}, FrameOfCanvas(RecordingCanvas()));
        FAIL() << "no error";
    } catch (const ReportError& e) {
        EXPECT_STREQ(e.what(), "Error in the report project file \"/p/t.rpt\", line 11: the data connection \"C\" "
                               "has no field \"nosuch\".");
    }
    EXPECT_THROW(ReportRun(project, project.reports[2], data, {}, FrameOfCanvas(RecordingCanvas())), ReportError);
    EXPECT_THROW(run.DrawPage(2, canvas), ReportError);
}

TEST(ReportRun, APageReadsOnlyItsOwnRecordsAndALongWayCanBeStopped) {
    const ReportProjectFile project = ParseReportProject(kListing, "t.rpt");
    MemoryData data({"name", "fee"}, Names(99998));  // three on the last page, room for the summary
    ReportRun run(project, project.reports[0], data, {}, FrameOfCanvas(RecordingCanvas(ShortSheet())));
    ASSERT_EQ(run.PageCount(), 20000);
    RecordingCanvas canvas(ShortSheet());
    run.DrawPage(2, canvas);
    EXPECT_LE(data.moves, 10u);
    EXPECT_EQ(PageLines(canvas.items)[2], "6 | N6");

    // The last page shows the totals: every record is read once for them,
    // and the page's own records once more.
    data.moves = 0;
    int asked = 0;
    run.keepGoing = [&](int page) {
        EXPECT_EQ(page, 20000);
        ++asked;
        return true;
    };
    RecordingCanvas last(ShortSheet());
    run.DrawPage(20000, last);
    EXPECT_LE(data.moves, 200010u);
    EXPECT_GE(asked, 99);
    EXPECT_EQ(PageLines(last.items)[5], "99998 in all, 99,998.00");

    run.keepGoing = [](int) { return false; };
    RecordingCanvas stopped(ShortSheet());
    EXPECT_THROW(run.DrawPage(10000, stopped), ReportCancelled);
}

}  // namespace
}  // namespace gs
