#include "report/projectreader.h"

#include "report/reportrun.h"
#include "report/reporttestutil.h"

#include "support/tempdir.h"

#include <QFile>

#include <gtest/gtest.h>

namespace gs {
namespace {

std::string ErrorOf(const QString& text) {
    try {
        ParseReportProject(text, "/p/Gslip3.rpt");
    } catch (const ReportError& e) {
        return e.what();
    }
    return "no error";
}

TEST(ReportProjectReader, ShippedProjectHoldsTheThreeReportsOnTheLogConnection) {
    const ReportProjectFile p = ReadReportProject(GREENSLIP_DATA_DIR "Gslip3.rpt");
    for (const char* name : {"FullDetail", "ShortDetail", "FirmMailingBook"}) {
        const ReportDefinition* r = p.FindReport(name);
        ASSERT_NE(r, nullptr) << name;
        EXPECT_EQ(r->connection, "ReportConnection1");
        EXPECT_TRUE(r->Band(BandKind::Detail).present);
    }
    EXPECT_TRUE(p.FindReport("FullDetail")->landscape);
    EXPECT_FALSE(p.FindReport("ShortDetail")->landscape);
    // The date line of both detail reports.
    for (const char* name : {"FullDetail", "ShortDetail"}) {
        bool showsMyTime = false;
        for (const ReportItem& item : p.FindReport(name)->Band(BandKind::PageHeader).items)
            for (const TemplatePart& part : item.text)
                showsMyTime |= part.kind == TemplatePart::Kind::Param && part.name == "MyTime";
        EXPECT_TRUE(showsMyTime) << name;
    }
    EXPECT_EQ(p.FindReport("nosuchreport"), nullptr);
    EXPECT_NE(p.FindReport("fulldetail"), nullptr);  // names match in any case
}

TEST(ReportProjectReader, ReadsSettingsQuotesAndTemplates) {
    const ReportProjectFile p = ParseReportProject(
        "# a comment\r\n"
        "font Body face=\"Liberation Sans\" size=9.5 bold\n"
        "\n"
        "REPORT One connection=Data orientation=Landscape margins=0.25,0.5,0.75,1\n"
        "  band detail height=0.2\n"
        "    text x=1 y=0.05 w=2 align=right \"Say \\\"{field:name}\\\" {{x}} \\\\ {line}\"\n"
        "    text x=3 w=1 align=right \"{AMOUNT:total}\"\n"
        "    rule x=0 w=7 thick=0.02\n"
        "    box x=0 w=1 h=0.2\n"
        "  band PageFooter height=0.2 pages=records\n"
        "end\n",
        "p.rpt");
    ASSERT_EQ(p.fonts.size(), 1u);
    EXPECT_EQ(p.fonts[0].face, "Liberation Sans");
    EXPECT_DOUBLE_EQ(p.fonts[0].size, 9.5);
    EXPECT_TRUE(p.fonts[0].bold);
    const ReportDefinition& r = p.reports.at(0);
    EXPECT_TRUE(r.landscape);
    EXPECT_DOUBLE_EQ(r.marginLeft, 0.25);
    EXPECT_DOUBLE_EQ(r.marginBottom, 1);
    const auto& items = r.Band(BandKind::Detail).items;
    ASSERT_EQ(items.size(), 4u);
    EXPECT_EQ(items[0].font, "Body");  // the first font is the default
    EXPECT_EQ(items[0].align, TextAlign::Right);
    using K = TemplatePart::Kind;
    const TextTemplate& t = items[0].text;
    ASSERT_EQ(t.size(), 4u);
    EXPECT_EQ(t[0].text, "Say \"");
    EXPECT_EQ(t[1].kind, K::Field);
    EXPECT_EQ(t[1].name, "name");
    EXPECT_EQ(t[2].text, "\" {x} \\ ");
    EXPECT_EQ(t[3].kind, K::Line);
    ASSERT_EQ(items[1].text.size(), 1u);
    EXPECT_EQ(items[1].text[0].kind, K::Amount);
    EXPECT_EQ(items[1].text[0].name, "total");
    EXPECT_EQ(items[2].kind, ReportItem::Kind::Rule);
    EXPECT_DOUBLE_EQ(items[2].thick, 0.02);
    EXPECT_EQ(items[3].kind, ReportItem::Kind::Box);
    EXPECT_FALSE(r.Band(BandKind::Detail).onlyWithRecords);
    EXPECT_TRUE(r.Band(BandKind::PageFooter).onlyWithRecords);
}

TEST(ReportProjectReader, DamagedFilesNameTheFileAndTheLine) {
    const QString head = "font Body face=Arial size=8\nreport R connection=C\nband Detail height=0.2\n";
    struct Case {
        QString text;
        int line;
        const char* says;
    } cases[] = {
        {"fnt Body face=Arial size=8\n", 1, "unknown statement \"fnt\""},
        {"font Body face=\"Arial size=8\n", 1, "a quoted text is not closed"},
        {"font Body face=Arial size=big\n", 1, "font size"},
        {"band Detail height=1\n", 1, "a band outside a report"},
        {"report R connection=C\nband Detail height=0.2\n", 1, "has no \"end\""},
        {"report R connection=C\nband PageHeader height=0.2\nend\n", 3, "has no Detail band"},
        {"report R\n", 1, "names no data connection"},
        {head + "text x=0 w=1 font=Bold \"x\"\nend\n", 4, "unknown font \"Bold\""},
        {head + "text x=0 w=1 \"{field:name\"\nend\n", 4, "without its \"}\""},
        {head + "text x=0 w=1 \"{nosuch}\"\nend\n", 4, "unknown value \"{nosuch}\""},
        {head + "text x=0 w=1 \"{param:}\"\nend\n", 4, "needs a name"},
        {head + "text x=0 w=-1 \"x\"\nend\n", 4, "not a size in inches"},
        {head + "text x=0 \"x\"\nend\n", 4, "\"w\" is missing"},
        {head + "text x=0 w=1 colour=red \"x\"\nend\n", 4, "unknown setting \"colour\""},
        {head + "text x=0 w=1 \"a\" \"b\"\nend\n", 4, "unexpected \"b\""},
        {head + "rule x=0 w=1 h=1\nend\n", 4, "not both"},
        {head + "band Footer height=1\nend\n", 4, "unknown band \"Footer\""},
        {head + "band Detail height=1\nend\n", 4, "appears twice"},
        {head + "band PageFooter height=0.2 pages=some\nend\n", 4, "pages must be all or records"},
        {"font Body face=Arial size=8\nreport R connection=C\nband Summary height=0.5\n"
         "text x=0 w=1 \"{amount:total}\"\n",
         4, "only be used in the Detail band"},
        {head + "end\nreport r connection=C\n", 5, "declared twice"},
        {"font Body face=Arial size=8\nreport R connection=C\nband PageHeader height=0.5\n"
         "text x=0 w=1 \"{field:zip}\"\n",
         4, "only be used in the Detail band"},
        {QString::fromLatin1("\x7f\x45LF\x02\x01\x01\x00\x00"), 1, "unknown statement"},
    };
    for (const Case& c : cases) {
        const std::string error = ErrorOf(c.text);
        EXPECT_NE(error.find("\"/p/Gslip3.rpt\", line " + std::to_string(c.line) + ":"), std::string::npos)
            << error << "\n" << c.text.toStdString();
        EXPECT_NE(error.find(c.says), std::string::npos) << error;
    }
}

// Damaged copies of the shipped project: cut at every line, and with bytes
// overwritten at random. Each is read or refused with ReportError, and one
// that is read lays out and draws its pages over a record.
TEST(ReportProjectReader, DamagedCopiesOfTheShippedProjectAreReadOrRefused) {
    QFile file(GREENSLIP_DATA_DIR "Gslip3.rpt");
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray shipped = file.readAll();
    std::vector<QByteArray> copies;
    for (qsizetype at = shipped.indexOf('\n'); at >= 0; at = shipped.indexOf('\n', at + 1)) {
        copies.push_back(shipped.left(at + 1));
        copies.push_back(shipped.left(at - 3));
    }
    std::uint32_t seed = 12345;
    auto next = [&seed] { return seed = seed * 1103515245u + 12345u; };
    const char noise[] = "{}\"=: \\\n#x9-.";
    for (int i = 0; i < 300; ++i) {
        QByteArray copy = shipped;
        for (int k = 0; k < 3; ++k) copy[next() % copy.size()] = noise[next() % (sizeof noise - 1)];
        copies.push_back(copy);
    }
    const std::vector<std::string> fields = {"sentname0", "sentname1", "sentname2", "sentname3", "city",
                                             "state", "zip", "rdate", "mailernum", "postage", "certified",
                                             "restricted", "return", "total", "comments", "re"};
    int read = 0;
    for (const QByteArray& copy : copies) {
        ReportProjectFile project;
        try {
            project = ParseReportProject(QString::fromUtf8(copy), "/p/Gslip3.rpt");
        } catch (const ReportError& e) {
            EXPECT_NE(std::string(e.what()).find("\"/p/Gslip3.rpt\""), std::string::npos) << e.what();
            continue;
        }
        ++read;
        for (const ReportDefinition& report : project.reports) {
            test::MemoryData data(fields, {std::vector<std::string>(fields.size(), "1.00")});
            try {
                ReportRun run(project, report, data, {}, FrameOfCanvas(RecordingCanvas(test::Letter(true))));
                for (int p = 1; p <= run.PageCount(); ++p) {
                    RecordingCanvas canvas(test::Letter(true));
                    run.DrawPage(p, canvas);
                }
            } catch (const ReportError&) {
                // A field the data lacks, or bands that do not fit.
            }
        }
    }
    EXPECT_GT(read, 10);
}

TEST(ReportProjectReader, MissingFileIsAnErrorNamingItsFullPath) {
    test::TempDir dir;
    const std::string path = dir.File("Gslip3.rpt");
    try {
        ReadReportProject(path);
        FAIL() << "no error";
    } catch (const ReportError& e) {
        EXPECT_NE(std::string(e.what()).find("\"" + path + "\""), std::string::npos) << e.what();
    }
}

}  // namespace
}  // namespace gs
