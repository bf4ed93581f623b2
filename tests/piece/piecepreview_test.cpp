// The preview of a piece is the page its next print gives, drawn by the
// same layout calls, and it takes no number.
#include "piece/piecepreview.h"

#include "maillog/maillog.h"
#include "platform/datafolders.h"
#include "platform/inifile.h"
#include "support/tempdir.h"

#include <gtest/gtest.h>

namespace gs {
namespace {

class PiecePreviewTest : public ::testing::Test {
protected:
    void SetUp() override {
        IniFile ini(dirs.SettingsFile());
        ini.LoadFromText("[Values]\nCustID=12-345-6789\nSerialNum=00000041\nIMbServiceType=040\n"
                         "IMbMailerId=123456\nIMbSerial=000000001\n");
        ASSERT_TRUE(ini.Save());
        numbers.Load(settings, dirs.Path() + "program/", {});
        job.target = &printer;
        job.mailLogPath = MailLogPath(settings, ProgramDataFolders());
    }

    static PrintedPiece Piece() {
        PrintedPiece p;
        p.senderLines = {"ACME Corp", "1 Main St", "Springfield IL 62701", "", ""};
        p.recipientLines = {"John Smith", "12 Oak Ave", "", ""};
        p.city = "Dayton";
        p.state = "OH";
        p.zip = "45402-1234";
        p.re = "Lease";
        p.restricted = true;
        p.postage = "      0.39";
        p.certifiedFee = "      2.40";
        p.returnReceiptFee = "      1.85";
        p.restrictedFee = "      3.50";
        p.total = "      8.14";
        return p;
    }

    std::string FileKey(const char* key) const {
        IniFile ini(dirs.SettingsFile());
        ini.Load();
        return ini.ReadString("Values", key, "");
    }

    test::SandboxDirs dirs;
    Settings settings;
    SharedNumbers numbers{dirs.SettingsFile()};
    RecordingPrintTarget printer{{300, 300, 18, 24, 8 * 300 - 36, 10 * 300}};
    PieceJob job;
};

void ExpectSameItems(const std::vector<RecordedItem>& shown, const std::vector<RecordedItem>& printed) {
    ASSERT_EQ(shown.size(), printed.size());
    for (std::size_t i = 0; i < shown.size(); ++i) {
        SCOPED_TRACE(::testing::Message() << "item " << i << " " << printed[i].text.toStdString());
        const RecordedItem& a = shown[i];
        const RecordedItem& b = printed[i];
        EXPECT_EQ(a.kind, b.kind);
        EXPECT_EQ(QRect(a.x, a.y, a.width, a.height), QRect(b.x, b.y, b.width, b.height));
        EXPECT_EQ(a.text, b.text);
        EXPECT_EQ(a.font, b.font);
        EXPECT_EQ(a.bitmap, b.bitmap);
    }
}

TEST_F(PiecePreviewTest, ShowsItemForItemWhatTheNextPrintPrintsAndTakesNoNumber) {
    struct Mode { bool barcode; const char* zip; long leftRight, upDown; };
    const Mode modes[] = {{true, "POSTNET", 0, 0}, {false, "POSTNET", 7, -3}, {true, "IMB", -5, 12}};
    for (const Mode& m : modes) {
        SCOPED_TRACE(::testing::Message() << m.barcode << " " << m.zip);
        settings.PrintBarCode = m.barcode;
        settings.ZipBarCode = m.zip;
        settings.LeftRight = m.leftRight;
        settings.TopBottom = m.upDown;
        const Settings before = settings;
        const std::string fileSerial = FileKey("SerialNum");

        const PiecePreview preview = PreviewNextPiece(Piece(), settings, DefaultBaseFont());
        RecordingCanvas shown(printer.setup);
        DrawPiecePreview(shown, preview);
        EXPECT_EQ(settings, before);
        EXPECT_EQ(FileKey("SerialNum"), fileSerial);

        const NumberReservation r = TakeNextNumber(settings, numbers);
        const PieceOutcome out = PrintAndLogPiece(Piece(), settings, numbers, r, job);
        ASSERT_EQ(out.result, PieceResult::Logged) << out.error;
        EXPECT_EQ(preview.number, out.number);
        ExpectSameItems(shown.items, printer.pages.back().items);
    }
}

TEST_F(PiecePreviewTest, AlignmentBeingTriedMovesEveryItemThreePixelsAStep) {
    PiecePreview preview = PreviewNextPiece(Piece(), settings, DefaultBaseFont());
    RecordingCanvas still(printer.setup);
    DrawPiecePreview(still, preview);
    SetPreviewAlignment(preview, 10, -4);
    RecordingCanvas moved(printer.setup);
    DrawPiecePreview(moved, preview);
    ASSERT_EQ(still.items.size(), moved.items.size());
    for (std::size_t i = 0; i < still.items.size(); ++i) {
        EXPECT_EQ(moved.items[i].x, still.items[i].x + 30);
        EXPECT_EQ(moved.items[i].y, still.items[i].y - 12);
    }
}

TEST_F(PiecePreviewTest, ASerialThatIsNoNumberShowsTheStoredNumber) {
    settings.SerialNum = "12ab";
    const PiecePreview preview = PreviewNextPiece(Piece(), settings, DefaultBaseFont());
    EXPECT_EQ(preview.number, "7112 3456 7890 0000 0003");  // zeros for the serial, as the composition has it
    EXPECT_EQ(preview.request.serial, "12ab");
}

}  // namespace
}  // namespace gs
