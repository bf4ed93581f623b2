// The main window's preview, its alignment pane and the choice of ZIP
// barcode, on the real window with a recording printer.
#include "app/tf_main.h"

#include "app/mainwindowstart.h"
#include "numbering/articlenumber.h"
#include "numbering/imbfields.h"
#include "numbering/tf_mailer.h"
#include "piece/tf_align.h"
#include "piece/tf_preview.h"
#include "platform/addressmemo.h"
#include "platform/inifile.h"
#include "platform/scripteduserinteraction.h"
#include "printing/mailerpreviewview.h"
#include "printing/printtarget.h"
#include "support/tempdir.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>
#include <gtest/gtest.h>

namespace gs {
namespace {

class PreviewCommandTest : public ::testing::Test {
protected:
    void SetUp() override { SetPrintTargetForTesting(&printer); }
    void TearDown() override {
        main.reset();
        SetPrintTargetForTesting(nullptr);
    }

    void Start(const std::string& values = "CustID=12-345-6789\nSerialNum=00000041\n") {
        test::WriteMainWindowSettings(dirs, values);
        main = test::ShowMainWindow();
        main->memoAddress->setPlainText("John Smith\n12 Oak Ave");
        main->editCity->setText("Dayton");
        main->editState->setText("OH");
        main->editZip->setFocus();
        QTest::keyClicks(main->editZip, "454021234");
    }

    std::string FileSerial() const {
        IniFile ini(dirs.SettingsFile());
        ini.Load();
        return ini.ReadString("Values", "SerialNum", "");
    }

    std::vector<RecordedItem> PageBitmaps() const {
        std::vector<RecordedItem> out;
        for (const RecordedItem& i : printer.pages.back().items)
            if (i.kind == RecordedItem::Kind::Bitmap) out.push_back(i);
        return out;
    }

    test::SandboxDirs dirs;
    ScopedScriptedUi scripted;
    RecordingPrintTarget printer;
    std::unique_ptr<TF_Main> main;
};

TEST_F(PreviewCommandTest, ButtonAndMenuShowTheNextNumberAndTakeNone) {
    Start();
    const std::string next = FormatArticleNumber(ComposeArticleNumber("123456789", "00000042"));
    for (int way = 0; way < 2; ++way) {
        QString shown;
        QString error = "not drawn";
        scripted.ui.dialogAnswers.push_back([&](QDialog& d) {
            auto& preview = static_cast<TF_Preview&>(d);
            shown = preview.lblNumber->text();
            preview.viewMailer->Render(QSize(340, 440));
            error = preview.viewMailer->PageError();
            EXPECT_TRUE(preview.btnPrint->isEnabled());
            preview.btnClose->click();
        });
        if (way == 0) main->btnPreview->click();
        else main->MIPreviewMailer->trigger();
        EXPECT_TRUE(shown.endsWith(QString::fromStdString(next))) << shown.toStdString();
        EXPECT_TRUE(error.isEmpty()) << error.toStdString();
    }
    EXPECT_EQ(scripted.ui.Trail(), QStringList({"dialog:gs::TF_Preview", "dialog:gs::TF_Preview"}));
    EXPECT_EQ(main->settings.SerialNum, "00000041");
    EXPECT_EQ(FileSerial(), "00000041");
    EXPECT_TRUE(printer.pages.empty());
}

TEST_F(PreviewCommandTest, PrintInThePreviewPrintsThePieceItShowed) {
    Start();
    scripted.ui.dialogAnswers.push_back([](QDialog& d) { static_cast<TF_Preview&>(d).btnPrint->click(); });
    scripted.ui.dialogAnswers.push_back([](QDialog& d) { static_cast<TF_Mailer&>(d).btnOK->click(); });
    main->btnPreview->click();
    ASSERT_EQ(printer.pages.size(), 1u);
    EXPECT_EQ(main->settings.SerialNum, "00000042");
    EXPECT_TRUE(main->EntryPrinted());

    // Printed: the preview still shows, but offers no Print.
    scripted.ui.dialogAnswers.push_back([](QDialog& d) {
        auto& preview = static_cast<TF_Preview&>(d);
        EXPECT_FALSE(preview.btnPrint->isEnabled());
        preview.btnClose->click();
    });
    main->btnPreview->click();
    EXPECT_EQ(printer.pages.size(), 1u);
}

TEST_F(PreviewCommandTest, AlignmentPaneShowsTheEnteredPiece) {
    Start();
    scripted.ui.dialogAnswers.push_back([](QDialog& d) {
        auto& align = static_cast<TF_Align&>(d);
        const QImage empty = align.viewAlign->Render(align.viewAlign->size());
        align.spinLeftRight->setValue(5);
        align.btnOK->click();
        // The recipient's lines are there to be seen in the pane's region.
        int dark = 0;
        for (int y = 0; y < empty.height(); ++y)
            for (int x = 0; x < empty.width(); ++x) dark += qGray(empty.pixel(x, y)) < 100;
        EXPECT_GT(dark, 500);
    });
    main->MIPrinterAlignment->trigger();
    EXPECT_EQ(scripted.ui.Trail(), QStringList{"dialog:gs::TF_Align"});
    EXPECT_EQ(main->settings.LeftRight, 5);
    EXPECT_EQ(main->settings.SerialNum, "00000041");
}

TEST_F(PreviewCommandTest, ChoosingIntelligentMailAsksForItsFieldsAndPrintsIt) {
    Start();
    EXPECT_TRUE(main->ZipPostnetMI->isChecked());
    scripted.ui.dialogAnswers.push_back([](QDialog& d) {
        auto& mailer = static_cast<TF_Mailer&>(d);
        EXPECT_FALSE(mailer.cbDontShow->isVisible());
        ImbTrackingBox& box = *mailer.gbIMb;
        EXPECT_TRUE(box.isVisible());
        box.editIMbServiceType->setText("040");
        box.editIMbMailerId->setText("123456");
        box.editIMbSerial->setText("000000001");
        mailer.btnOK->click();
    });
    main->ZipImbMI->trigger();
    EXPECT_EQ(scripted.ui.Trail(), QStringList({"message", "dialog:gs::TF_Mailer"}));
    EXPECT_EQ(main->settings.ZipBarCode, "IMB");
    // Like the article number, the record holds the serial before the next
    // piece's: three below it, one for each symbol the form prints.
    EXPECT_EQ(ImbTrackingCode(ImbTrackingOf(main->settings)), "00040123456999999998");
    EXPECT_EQ(main->settings.SerialNum, "00000041");

    scripted.ui.dialogAnswers.push_back([](QDialog& d) { static_cast<TF_Mailer&>(d).btnOK->click(); });
    main->btnPrint->click();
    EXPECT_EQ(main->settings.IMbSerial, "000000001");
    ASSERT_EQ(printer.pages.size(), 1u);
    const auto bitmaps = PageBitmaps();
    ASSERT_EQ(bitmaps.size(), 5u);  // two Code 128, three ZIP barcodes
    for (std::size_t i = 2; i < 5; ++i) EXPECT_EQ(bitmaps[i].height, 87);  // IMb full bars at 600 dpi

    main->ZipPostnetMI->trigger();
    EXPECT_EQ(main->settings.ZipBarCode, "POSTNET");
    EXPECT_FALSE(main->ZipImbMI->isChecked());
}

TEST_F(PreviewCommandTest, PrintRefusesTrackingFieldsThatMakeNoCodeAndGivesTheNumberBack) {
    Start("CustID=12-345-6789\nSerialNum=00000041\nZipBarCode=IMB\nIMbServiceType=040\nIMbMailerId=12345\n"
          "IMbSerial=000000001\n");
    EXPECT_TRUE(main->ZipImbMI->isChecked());
    main->ShowMailerScreen = false;
    main->btnPrint->click();
    ASSERT_EQ(scripted.ui.Trail(), QStringList{"message"});
    EXPECT_TRUE(scripted.ui.asked[0].text.startsWith("The Intelligent Mail barcode cannot be printed. The Mailer ID"))
        << scripted.ui.asked[0].text.toStdString();
    EXPECT_TRUE(printer.pages.empty());
    EXPECT_EQ(main->settings.SerialNum, "00000041");
    EXPECT_EQ(FileSerial(), "00000041");
}

}  // namespace
}  // namespace gs
