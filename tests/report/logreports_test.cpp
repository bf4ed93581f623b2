// The shipped reports over a small log, drawn on the recording canvas.
#include "maillog/logorder.h"

#include "report/logfixture.h"
#include "report/reportproject.h"
#include "report/reporttestutil.h"

#include <QDateTime>
#include <QRegularExpression>

namespace gs {
namespace {

using test::PageLines;

class LogReportTest : public test::LogFixture {
protected:
    // Runs a report of the shipped project over the log in the given order.
    test::RecordingEngine Run(const std::string& report, LogOrder order, ReportParams params = {}) {
        TTzDbf log("TzDbfReport");
        ConfigureMailLog(log, logFile);
        log.Open();
        ApplyLogOrder(log, order);
        test::RecordingEngine engine;
        TReportConnection connection{"ReportConnection1", &log, MailLogDisplayText};  // as Report > runs it
        TReportProject project;
        project.ProjectFile = GREENSLIP_DATA_DIR "Gslip3.rpt";
        project.Engine = &engine;
        project.AddConnection(connection);
        project.Open();
        for (const auto& [name, value] : params) project.SetParam(name, value);
        EXPECT_TRUE(project.ExecuteReport(report));
        project.Close();
        log.Close();
        return engine;
    }
    // The article numbers as the pages list them, top to bottom.
    static QStringList Numbers(const test::RecordingEngine& engine) {
        QStringList out;
        for (const auto& page : engine.pages)
            for (const QString& line : PageLines(page)) {
                const auto m = QRegularExpression("7112 3456 7890 0000 \\d{4}").match(line);
                if (m.hasMatch()) out << m.captured().right(4);
            }
        return out;
    }
};

TEST_F(LogReportTest, EveryReportListsThePiecesInTheChosenOrder) {
    WriteLog(test::FourPieces());
    struct Case {
        LogOrder order;
        QStringList numbers;
    } cases[] = {
        {LogOrder::PrintingOrder, {"0300", "0100", "0200", "0400"}},
        {LogOrder::MailerNumber, {"0100", "0200", "0300", "0400"}},
        // Names as stored: a leading blank first, lower case after upper case.
        {LogOrder::Name, {"0400", "0200", "0300", "0100"}},
        // The blank date after every real one.
        {LogOrder::Date, {"0200", "0400", "0300", "0100"}},
        {LogOrder::ZipCode, {"0400", "0100", "0300", "0200"}},
    };
    for (const Case& c : cases)
        for (const char* report : {"FullDetail", "ShortDetail", "FirmMailingBook"})
            EXPECT_EQ(Numbers(Run(report, c.order)), c.numbers) << report << " " << int(c.order);
}

// An IMpb piece is logged as its 22 digits (grouped they would not fit the
// field); every report shows it grouped, and By Mailer Number sorts the
// two forms, each among its own.
TEST_F(LogReportTest, ImpbNumbersAreListedGroupedAndSortedBesideTwentyDigitOnes) {
    std::vector<test::LoggedPiece> pieces = test::FourPieces();
    test::LoggedPiece impb = pieces[0];
    impb.mailernum = "9207190123456700000017";
    pieces.insert(pieces.begin() + 1, impb);
    impb.mailernum = "9207190123456700000000";
    pieces.push_back(impb);
    WriteLog(pieces);
    for (const char* report : {"FullDetail", "ShortDetail", "FirmMailingBook"}) {
        for (LogOrder order : {LogOrder::PrintingOrder, LogOrder::MailerNumber}) {
            QStringList listed;
            for (const auto& page : Run(report, order).pages)
                for (const QString& line : PageLines(page)) {
                    const auto m = QRegularExpression("(7112 3456 7890 0000 \\d{4}|9207 1901 2345 6700 0000 \\d\\d)")
                                       .match(line);
                    if (m.hasMatch()) listed << m.captured().right(4);
                    EXPECT_FALSE(line.contains("92071901")) << report << ": " << line.toStdString();
                }
            const QStringList expected = order == LogOrder::PrintingOrder
                                             ? QStringList{"0300", "0 17", "0100", "0200", "0400", "0 00"}
                                             : QStringList{"0100", "0200", "0300", "0400", "0 00", "0 17"};
            EXPECT_EQ(listed, expected) << report;
        }
    }
}

TEST_F(LogReportTest, IndexFilesLieBesideTheLogAndPrintingOrderBuildsNone) {
    WriteLog(test::FourPieces());
    Run("ShortDetail", LogOrder::PrintingOrder);
    const std::string dir = dirs.Path() + "program/Reports/";
    for (const char* name : {"mailernum", "name", "rdate", "zip"})
        EXPECT_FALSE(std::filesystem::exists(dir + name + ".MDX") || std::filesystem::exists(dir + name + ".mdx"));
    for (LogOrder o : {LogOrder::MailerNumber, LogOrder::Name, LogOrder::Date, LogOrder::ZipCode}) {
        Run("ShortDetail", o);
        const std::string stem = dir + KeyOfLogOrder(o).indexName;
        EXPECT_TRUE(std::filesystem::exists(stem + ".MDX") || std::filesystem::exists(stem + ".mdx")) << stem;
    }
}

TEST_F(LogReportTest, FullDetailShowsEveryFieldOfAPieceAndTheTotals) {
    WriteLog(test::FourPieces());
    const QString myTime = MyTimeText(QDateTime(QDate(2024, 5, 1), QTime(15, 4, 5)));
    EXPECT_TRUE(myTime.startsWith("Date Printed: 05/01/2024 ")) << myTime.toStdString();
    const auto engine = Run("FullDetail", LogOrder::PrintingOrder, {{"MyTime", myTime}});
    EXPECT_TRUE(engine.landscape);
    ASSERT_EQ(engine.pages.size(), 1u);
    const QStringList lines = PageLines(engine.pages[0]);
    const QStringList expected = {
        "Certified Mail Record",
        "Full Detail",
        myTime + " | Page 1 of 1",
        "03/05/2024 | 7112 3456 7890 0000 0300 | Carol White | Atlanta, GA | 30301 | 0.39 | 2.40 | 1.85 | 4.64",
        "RE: Invoice 17 | 5 Elm St | Second notice",
        "7112 3456 7890 0000 0100 | alice Brown | New York, NY | 10001 | 0.39 | 2.40 | 1.85 | 3.50 | 8.14",
        "Number of pieces: 4 | Totals",
        "Postage | 1.77",
        "Certified fee | 9.60",
        "Return receipt fee | 5.55",
        "Restricted delivery fee | 3.50",
        "Total | 20.42",
        "Greenslip certified mail record, full detail | Pieces on this page: 4",
    };
    for (const QString& e : expected) EXPECT_TRUE(lines.contains(e)) << e.toStdString() << "\n" << lines.join("\n").toStdString();

    // Too long for its column of 1.44 in (26 characters on this canvas): cut
    // to it, never into the ZIP column, and the ZIP code whole in its own.
    const RecordedItem* city = test::FindText(engine.pages[0], "South San Francisco Height");
    ASSERT_NE(city, nullptr);
    const RecordedItem* zip = test::FindText(engine.pages[0], "94105-1234");
    ASSERT_NE(zip, nullptr);
    EXPECT_LE(city->x + 26 * 33, zip->x);
}

TEST_F(LogReportTest, AmountsShowTwoDecimalsOnOnePointAndRecipientLinesReadDown) {
    // Fees as an older log or another program may have written them.
    test::LoggedPiece odd = test::FourPieces()[0];
    odd.name1 = "Line Two";
    odd.name2 = "Line Three";
    odd.name3 = "Line Four";
    odd.postage = "12.5";
    odd.certified = "2.4";
    odd.returnReceipt = "3";
    odd.total = "  1234.5 ";
    WriteLog({odd, test::FourPieces()[1]});
    struct Case {
        const char* report;
        QStringList amounts;              // the first piece's, left to right
        const char* column[2];            // one column's amounts of the two pieces
    } cases[] = {
        {"FullDetail", {"12.50", "2.40", "3.00", "1,234.50"}, {"1,234.50", "8.14"}},
        {"ShortDetail", {"1,234.50"}, {"1,234.50", "8.14"}},
        {"FirmMailingBook", {"12.50", "2.40", "3.00"}, {"12.50", "0.39"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.report);
        const auto engine = Run(c.report, LogOrder::PrintingOrder);
        ASSERT_EQ(engine.pages.size(), 1u);
        const auto& page = engine.pages[0];
        const QString all = PageLines(page).join("\n");
        for (const QString& a : c.amounts) EXPECT_TRUE(all.contains(" | " + a)) << a.toStdString() << "\n" << all.toStdString();
        EXPECT_FALSE(all.contains(QRegularExpression("\\b(12\\.5|2\\.4|1234\\.5)\\b")));
        // The column's points stand one above the other: the right edges meet.
        auto right = [](const RecordedItem* item) { return item->x + int(item->text.size()) * (std::abs(item->font.height) / 2); };
        const RecordedItem* first = test::FindText(page, c.column[0]);
        const RecordedItem* second = test::FindText(page, c.column[1]);
        ASSERT_TRUE(first && second);
        EXPECT_LT(first->y, second->y);
        EXPECT_EQ(right(first), right(second));
    }

    // Full Detail: the four recipient lines down the Recipient column.
    const auto full = Run("FullDetail", LogOrder::PrintingOrder);
    const RecordedItem* heading = test::FindText(full.pages[0], "Recipient");
    ASSERT_NE(heading, nullptr);
    int lastY = heading->y;
    for (const char* line : {"Carol White", "Line Two", "Line Three", "Line Four"}) {
        const RecordedItem* item = test::FindText(full.pages[0], line);
        ASSERT_NE(item, nullptr) << line;
        EXPECT_EQ(item->x, heading->x) << line;
        EXPECT_GT(item->y, lastY) << line;
        lastY = item->y;
    }
    EXPECT_LT(lastY, test::FindText(full.pages[0], "alice Brown")->y);
}

TEST_F(LogReportTest, FirmMailingBookDrawsNoPageTotalOnAPageOfTotalsOnly) {
    // Sixteen pieces fill the first page, so the totals stand on a page of their own.
    WriteLog(std::vector<test::LoggedPiece>(16, test::FourPieces()[0]));
    const auto book = Run("FirmMailingBook", LogOrder::PrintingOrder);
    ASSERT_EQ(book.pages.size(), 2u);
    auto footerRects = [](const std::vector<RecordedItem>& page) {
        int n = 0;
        for (const RecordedItem& item : page)
            if (item.kind == RecordedItem::Kind::Rect && item.y >= 6600 - 300 - 180) ++n;  // the footer's 0.3 in
        return n;
    };
    EXPECT_GT(footerRects(book.pages[0]), 0);
    EXPECT_TRUE(PageLines(book.pages[0]).join("\n").contains("Page total, pieces listed: 16"));
    EXPECT_EQ(footerRects(book.pages[1]), 0);
    EXPECT_TRUE(PageLines(book.pages[1]).join("\n").contains("Total number of pieces"));
    EXPECT_TRUE(PageLines(book.pages[1]).join("\n").contains("Page 2 of 2"));
}

TEST_F(LogReportTest, LongLogsBreakIntoNumberedPagesWithPageTotals) {
    std::vector<test::LoggedPiece> pieces;
    for (int i = 1; i <= 60; ++i) {
        test::LoggedPiece p = test::FourPieces()[0];
        char serial[8];
        std::snprintf(serial, sizeof serial, "%04d", i);
        p.mailernum = "7112 3456 7890 0000 " + std::string(serial);
        p.name0 = "Name " + std::to_string(i);
        pieces.push_back(p);
    }
    WriteLog(pieces);

    const auto short_ = Run("ShortDetail", LogOrder::MailerNumber);
    const int shortPages = static_cast<int>(short_.pages.size());
    ASSERT_GE(shortPages, 2);
    for (int p = 0; p < shortPages; ++p)
        EXPECT_TRUE(PageLines(short_.pages[p]).join("\n").contains(QString("Page %1 of %2").arg(p + 1).arg(shortPages)));
    EXPECT_EQ(Numbers(short_).size(), 60);

    // The firm mailing book numbers its lines across pages, totals every
    // page and closes with the receipt boxes.
    const auto book = Run("FirmMailingBook", LogOrder::MailerNumber);
    ASSERT_GE(book.pages.size(), 3u);
    int listed = 0;
    for (std::size_t p = 0; p < book.pages.size(); ++p) {
        const QStringList lines = PageLines(book.pages[p]);
        int onPage = 0;
        for (const QString& l : lines)
            if (l.contains("7112 3456 7890 0000")) {
                ++onPage;
                EXPECT_TRUE(l.startsWith(QString::number(listed + onPage) + " | ")) << l.toStdString();
            }
        listed += onPage;
        const QString cents = [&] {
            return QString::number(onPage * 39 / 100) + "." + QString::number(onPage * 39 % 100).rightJustified(2, '0');
        }();
        EXPECT_TRUE(lines.join("\n").contains(QString("Page total, pieces listed: %1 | %2").arg(onPage).arg(cents)))
            << lines.join("\n").toStdString();
    }
    EXPECT_EQ(listed, 60);
    const QString last = PageLines(book.pages.back()).join("\n");
    for (const char* box : {"Total number of pieces", "listed by sender", "received at post office",
                            "Postmaster, per (name of receiving employee)"})
        EXPECT_TRUE(last.contains(box)) << box;
    EXPECT_TRUE(PageLines(book.pages.back()).contains("60")) << last.toStdString();  // pieces listed by sender

}

}  // namespace
}  // namespace gs
