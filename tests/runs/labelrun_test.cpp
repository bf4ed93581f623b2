// Barcode label runs without a window: labels on a recording printer, the
// serials they carry, how a run stops, and the numbers it leaves in the
// settings file for every running copy.
#include "runs/labelrun.h"

#include "barcode/decoders.h"
#include "numbering/articlenumber.h"
#include "platform/inifile.h"
#include "printing/mailer.h"
#include "runs/failingonpage.h"
#include "support/tempdir.h"

#include <gtest/gtest.h>

namespace gs {
namespace {

BarcodeRun LabelsOf(int labels, const std::string& start, const std::string& leftRight = "0") {
    BarcodeRun run;
    run.labels = labels;
    run.custIdDigits = "123456789";
    run.startSerial = start;
    run.alignLeftRight = leftRight;
    run.alignUpDown = "-4";
    run.baseFont = DefaultBaseFont();
    return run;
}

// The grouped number of the page (the six printed copies all carry it).
QString NumberOn(const RecordingPrintTarget::Page& page) {
    for (const RecordedItem& item : page.items)
        if (item.kind == RecordedItem::Kind::Text) return item.text;
    return {};
}

QString Grouped(const std::string& serial) {
    return QString::fromStdString(FormatArticleNumber(ComposeArticleNumber("123456789", serial)));
}

TEST(LabelRunTest, EachLabelIsTheMailersBarcodeBlockWithTheNextSerial) {
    RecordingPrintTarget printer;
    const BarcodeRunOutcome out = PrintBarcodeRun(printer, LabelsOf(3, "00000007", "10"));
    EXPECT_EQ(out.stop, RunStop::Finished);
    EXPECT_EQ(out.printed, 3);
    EXPECT_EQ(out.lastPrinted, "00000009");
    ASSERT_EQ(printer.pages.size(), 3u);  // one job per label
    const char* serials[] = {"00000007", "00000008", "00000009"};
    for (int i = 0; i < 3; ++i) EXPECT_EQ(NumberOn(printer.pages[i]), Grouped(serials[i]));
    // Check digits of their own: 7100 1234 5678 9000 0000 7x, ...
    EXPECT_NE(Grouped("00000007").right(1), Grouped("00000008").right(1));

    // The label is exactly the barcode part of a mailer of the same number
    // with the same alignment: every item where the mailer has it.
    MailerPrintRequest request;
    request.numberSource = "123456789";
    request.serial = "00000008";
    request.alignLeftRight = "10";
    request.alignUpDown = "-4";
    RecordingPrintTarget mailer;
    PrintMailer(mailer, request, true, DefaultBaseFont());
    const auto& label = printer.pages[1].items;
    ASSERT_EQ(label.size(), 8u);  // two barcodes, six numbers
    for (const RecordedItem& item : label) {
        bool found = false;
        for (const RecordedItem& m : mailer.pages[0].items)
            found = found || (m.kind == item.kind && m.x == item.x && m.y == item.y && m.width == item.width &&
                              m.height == item.height && m.text == item.text && m.font == item.font);
        EXPECT_TRUE(found) << item.text.toStdString() << " at " << item.x << "," << item.y;
    }
}

TEST(LabelRunTest, SerialsRunAcrossTheTopAndAStopSaysHowFarTheRunGot) {
    struct Case {
        const char* name;
        int labels;
        std::string start;
        int failPage;  // 0: none
        int cancelBefore;
        RunStop stop;
        std::vector<std::string> printed;
        std::string lastUsed;
    };
    const Case cases[] = {
        {"across the top", 3, "99999998", 0, 0, RunStop::Finished, {"99999998", "99999999", "00000001"}, "00000001"},
        {"short serial is padded", 2, "41", 0, 0, RunStop::Finished, {"00000041", "00000042"}, "00000042"},
        {"serial left incomplete", 5, "0004 7  ", 0, 0, RunStop::SerialNotNumber, {"00000000"}, "00000000"},
        {"printer fails on the third", 5, "00000010", 3, 0, RunStop::PrintFailed, {"00000010", "00000011"},
         "00000012"},
        {"printer fails at once", 5, "00000010", 1, 0, RunStop::PrintFailed, {}, "00000010"},
        {"cancelled before the third", 5, "00000010", 0, 3, RunStop::Cancelled, {"00000010", "00000011"},
         "00000011"},
        {"no labels", 0, "00000010", 0, 0, RunStop::Finished, {}, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        test::FailingOnPage printer(c.failPage);
        std::vector<int> seen;
        const BarcodeRunOutcome out = PrintBarcodeRun(printer, LabelsOf(c.labels, c.start), [&](int label, int labels) {
            EXPECT_EQ(labels, c.labels);
            seen.push_back(label);
            return label != c.cancelBefore;
        });
        EXPECT_EQ(out.stop, c.stop);
        EXPECT_EQ(out.stop == RunStop::Finished || out.stop == RunStop::Cancelled, out.error.empty()) << out.error;
        ASSERT_EQ(printer.recording.pages.size(), c.printed.size());
        for (std::size_t i = 0; i < c.printed.size(); ++i)
            EXPECT_EQ(NumberOn(printer.recording.pages[i]), Grouped(c.printed[i]));
        EXPECT_EQ(out.printed, static_cast<int>(c.printed.size()));
        EXPECT_EQ(out.lastPrinted, c.printed.empty() ? "" : c.printed.back());
        EXPECT_EQ(out.lastUsed, c.lastUsed);
        if (!seen.empty()) {
            EXPECT_EQ(seen.front(), 1);
        }
    }
}

// The reserved run against the settings file shared with another copy.
class ReservedRunTest : public ::testing::Test {
protected:
    void SetUp() override {
        IniFile ini(dirs.SettingsFile());
        ini.LoadFromText("[Values]\nCustID=12-345-6789\nSerialNum=00000006\nMailerNum=71000000000000000123\n");
        ASSERT_TRUE(ini.Save());
        numbers.Load(settings, dirs.Path() + "program/", {});
        other.Load(otherSettings, dirs.Path() + "program/", {});
    }
    // What the dialog leaves: the serial after the last one used, a new customer ID.
    void Confirm(const std::string& serial, const std::string& custId = "98-765-4321") {
        settings.SerialNum = serial;
        settings.CustID = custId;
    }
    std::string FileValue(const char* key) const {
        IniFile ini(dirs.SettingsFile());
        ini.Load();
        return ini.ReadString("Values", key, "");
    }
    BarcodeRun RunOf(int labels) const {
        BarcodeRun run = LabelsOf(labels, settings.SerialNum);
        run.custIdDigits = "987654321";
        return run;
    }

    test::SandboxDirs dirs;
    Settings settings, otherSettings;
    SharedNumbers numbers{dirs.SettingsFile()};
    SharedNumbers other{dirs.SettingsFile()};
};

TEST_F(ReservedRunTest, TheWholeRunIsTakenFirstAndTheLastSerialPrintedStays) {
    Confirm("00000007");
    RecordingPrintTarget printer;
    std::vector<std::string> fileDuringRun;
    const BarcodeRunOutcome out =
        PrintReservedBarcodeRun(settings, numbers, "00000006", RunOf(3), printer, [&](int, int) {
            fileDuringRun.push_back(FileValue("SerialNum"));
            return true;
        });
    EXPECT_EQ(out.printed, 3);
    EXPECT_TRUE(out.numbersSaved);
    // Taken before the first label, so another copy steps past the whole run.
    EXPECT_EQ(fileDuringRun, (std::vector<std::string>{"00000009", "00000009", "00000009"}));
    EXPECT_EQ(settings.SerialNum, "00000009");
    EXPECT_EQ(FileValue("SerialNum"), "00000009");
    EXPECT_EQ(FileValue("CustID"), "98-765-4321");
    EXPECT_EQ(FileValue("MailerNum"), "71000000000000000123");

    other.Reserve(otherSettings, [](Settings& s) { StepArticleNumber(s); });
    EXPECT_EQ(otherSettings.SerialNum, "00000010");
}

TEST_F(ReservedRunTest, AnEarlyStopGivesBackOnlyWhatNoOtherCopyHasSteppedPast) {
    // Cancelled before the fourth label: the serial comes back to the third.
    Confirm("00000007");
    RecordingPrintTarget printer;
    BarcodeRunOutcome out = PrintReservedBarcodeRun(settings, numbers, "00000006", RunOf(10), printer,
                                                    [](int label, int) { return label < 4; });
    EXPECT_EQ(out.printed, 3);
    EXPECT_EQ(settings.SerialNum, "00000009");
    EXPECT_EQ(FileValue("SerialNum"), "00000009");

    // Cancelled at once: the serial is the one before the command.
    Confirm("00000010");
    out = PrintReservedBarcodeRun(settings, numbers, "00000009", RunOf(5), printer, [](int, int) { return false; });
    EXPECT_EQ(out.printed, 0);
    EXPECT_EQ(settings.SerialNum, "00000009");
    EXPECT_EQ(FileValue("SerialNum"), "00000009");

    // Another copy prints while the run is going: its number stays in the
    // file, and the labels' serials are never handed out again.
    Confirm("00000010");
    out = PrintReservedBarcodeRun(settings, numbers, "00000009", RunOf(5), printer, [&](int label, int) {
        if (label == 2) other.Reserve(otherSettings, [](Settings& s) { StepArticleNumber(s); });
        return label < 3;
    });
    EXPECT_EQ(otherSettings.SerialNum, "00000015");  // past the whole run
    EXPECT_EQ(settings.SerialNum, "00000011");
    EXPECT_EQ(FileValue("SerialNum"), "00000015");
    EXPECT_TRUE(out.numbersSaved);
}

TEST_F(ReservedRunTest, AFailedLabelCountsAsUsedAndASerialThatIsNoNumberLeavesTheSerialAsItWas) {
    Confirm("00000007");
    test::FailingOnPage printer(2);
    BarcodeRunOutcome out = PrintReservedBarcodeRun(settings, numbers, "00000006", RunOf(5), printer);
    EXPECT_EQ(out.stop, RunStop::PrintFailed);
    EXPECT_EQ(out.lastPrinted, "00000007");
    EXPECT_EQ(settings.SerialNum, "00000008");  // the failed label's job may have started
    EXPECT_EQ(FileValue("SerialNum"), "00000008");

    // A serial left incomplete prints one label with zeros; no serial of the
    // run was used, so the setting keeps the last serial used before.
    Confirm("0001    ");
    RecordingPrintTarget recording;
    out = PrintReservedBarcodeRun(settings, numbers, "00000008", RunOf(5), recording);
    EXPECT_EQ(out.stop, RunStop::SerialNotNumber);
    EXPECT_EQ(out.lastPrinted, "00000000");
    EXPECT_EQ(recording.pages.size(), 1u);
    EXPECT_EQ(settings.SerialNum, "00000008");
    EXPECT_EQ(FileValue("SerialNum"), "00000008");
}

}  // namespace
}  // namespace gs

namespace gs {
namespace {

// IMpb labels: numbered by the IMpb serial, which wraps within its digits;
// the symbols carry the 22 digits alone (no recipient yet); the run is
// reserved in the IMpb serial, and the 20-digit serial is left alone.
TEST_F(ReservedRunTest, ImpbLabelsCarryTheNumberAloneAndReserveTheImpbSerial) {
    settings.ArticleFormat = "IMpb";
    settings.IMpbChannel = "92";
    settings.IMpbServiceType = "071";
    settings.IMpbMailerId = "901234567";
    settings.IMpbSerial = "9999999";
    BarcodeRun run = RunOf(3);
    run.impb = true;
    run.impbFields = ImpbFieldsOf(settings);
    RecordingPrintTarget printer;
    const BarcodeRunOutcome out = PrintReservedBarcodeRun(settings, numbers, "9999998", run, printer);
    EXPECT_EQ(out.printed, 3);
    EXPECT_EQ(out.lastPrinted, "0000001");
    ASSERT_EQ(printer.pages.size(), 3u);
    EXPECT_EQ(NumberOn(printer.pages[0]), "9207 1901 2345 6799 9999 95");
    EXPECT_EQ(NumberOn(printer.pages[1]), "9207 1901 2345 6700 0000 00");
    EXPECT_EQ(NumberOn(printer.pages[2]), "9207 1901 2345 6700 0000 17");
    for (const RecordedItem& item : printer.pages[2].items) {
        if (item.kind != RecordedItem::Kind::Bitmap) continue;
        const auto reading = testing::ReadCode128(item.bitmap.mirrored(true, true), item.height / 2);
        ASSERT_TRUE(reading);
        EXPECT_EQ(reading->text, "9207190123456700000017");
    }
    EXPECT_EQ(FileValue("IMpbSerial"), "0000001");
    EXPECT_EQ(FileValue("SerialNum"), "00000006");
    EXPECT_EQ(settings.IMpbSerial, "0000001");
}

}  // namespace
}  // namespace gs
