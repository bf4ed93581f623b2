// File > "Print Bar Codes": its dialog, and the command from the question to
// the labels on a recording printer and the numbers in the settings file.
#include "runs/runcommands.h"
#include "runs/runprogress.h"
#include "runs/tf_printbarcode.h"

#include "numbering/articlenumber.h"
#include "platform/inifile.h"
#include "platform/scripteduserinteraction.h"
#include "printing/geometry.h"
#include "printing/mailer.h"
#include "printing/printtarget.h"
#include "printing/systemprinter.h"
#include "settings/sharednumbers.h"
#include "support/pdftools.h"
#include "support/tempdir.h"

#include <QApplication>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPrinter>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>
#include <gtest/gtest.h>

namespace gs {
namespace {

const QString kQuestion =
    "You have seleceted to pre-print the Bar Code's onto the Mailer's, would you like to continue?";

TEST(PrintBarCodeDialogTest, IsLaidOutAsTheFormAndOpensOnTheSerial) {
    Settings settings;
    settings.CustID = "12-345-6789";
    settings.SerialNum = "00000042";
    TF_PrintBarCode dialog(settings);
    dialog.show();
    dialog.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
    QApplication::processEvents();

    EXPECT_EQ(dialog.windowTitle(), "Print Bar Code's");
    EXPECT_EQ(dialog.size(), QSize(377, 233));
    EXPECT_EQ(dialog.lblExplanation->text(),
              "Please enter the starting Identifier Serial Number, and how many labels you will be printing Bar "
              "Code's on.");
    EXPECT_EQ(dialog.editCustID->text(), "12-345-6789");
    EXPECT_EQ(dialog.editCustID->maxLength(), 11);
    EXPECT_EQ(dialog.editSerialNum->text(), "00000042");
    EXPECT_EQ(dialog.editSerialNum->maxLength(), 8);
    // Focus on the serial, its text selected so typing replaces it.
    EXPECT_EQ(QApplication::focusWidget(), dialog.editSerialNum);
    EXPECT_EQ(dialog.editSerialNum->selectedText(), "00000042");
    EXPECT_EQ(dialog.editNumLabels->minimum(), 1);
    EXPECT_EQ(dialog.editNumLabels->maximum(), 1000);
    EXPECT_EQ(dialog.editNumLabels->value(), 1);
    for (QWidget* w : QList<QWidget*>{dialog.lblCustID, dialog.editCustID, dialog.lblSerialNum, dialog.editSerialNum,
                                      dialog.lblNumLabels})
        EXPECT_TRUE(w->toolTip().contains("\"Help\"")) << w->objectName().toStdString();

    // Help: taller, the panel shown, once per showing.
    EXPECT_FALSE(dialog.panelBarCode->isVisible());
    dialog.btnHelp->click();
    EXPECT_EQ(dialog.size(), QSize(377, 383));
    EXPECT_TRUE(dialog.panelBarCode->isVisible());
    EXPECT_FALSE(dialog.btnHelp->isEnabled());
    QStringList texts;
    for (QLabel* l : dialog.panelBarCode->findChildren<QLabel*>()) texts << l->text();
    for (const char* t :
         {"Customer ID:", "You may request a nine-digit customer ID (i.e., your DUNS",
          "number) from your postal representative or by contacting Dun & Bradstreet",
          "This number uniquely identifies business entities at specific physical addresses.  If you are generating "
          "mailings at multiple locations, you must use the DUNS number appropriate for each mailing location.",
          "Identifier Serial Number:", "You will self-assign an eight-digit Identifier",
          "Serial Number.  This number must remain unique for at least 2 years in order to ensure that it identifies "
          "only one mailpiece."})
        EXPECT_TRUE(texts.contains(t)) << t;
    EXPECT_TRUE(texts.filter("800-333-0505").size() == 1);
    EXPECT_TRUE(dialog.LabelDnB->text().contains("dnb.com"));
}

// Help disables itself; the keys typed next go where the user was, never
// over the customer ID.
TEST(PrintBarCodeDialogTest, HelpLeavesTheFocusWhereItWas) {
    enum Press { Mouse, Keyboard };
    for (Press press : {Mouse, Keyboard}) {
        Settings settings;
        settings.CustID = "12-345-6789";
        settings.SerialNum = "00000042";
        TF_PrintBarCode dialog(settings);
        dialog.show();
        dialog.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
        if (press == Mouse) {
            QTest::mouseClick(dialog.btnHelp, Qt::LeftButton);
        } else {
            dialog.btnHelp->setFocus(Qt::TabFocusReason);
            QTest::keyClick(dialog.btnHelp, Qt::Key_Space);
        }
        ASSERT_FALSE(dialog.btnHelp->isEnabled()) << press;
        EXPECT_EQ(QApplication::focusWidget(), dialog.editSerialNum) << press;
        EXPECT_TRUE(dialog.editCustID->selectedText().isEmpty()) << press;
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_7);
        EXPECT_EQ(dialog.editCustID->text(), "12-345-6789") << press;
    }
}

TEST(PrintBarCodeDialogTest, TheCountTakesOneTypedCharacterAndTheArrowsReachTheRest) {
    Settings settings;
    TF_PrintBarCode dialog(settings);
    dialog.show();
    QLineEdit* count = dialog.editNumLabels->findChild<QLineEdit*>();
    count->selectAll();
    QTest::keyClicks(dialog.editNumLabels, "75");  // keys reach the spin box
    EXPECT_EQ(dialog.editNumLabels->value(), 7);
    dialog.editNumLabels->setValue(999);
    QTest::keyClick(dialog.editNumLabels, Qt::Key_Up);
    EXPECT_EQ(count->text(), "1000");
    EXPECT_EQ(dialog.editNumLabels->value(), 1000);
    QTest::keyClick(dialog.editNumLabels, Qt::Key_Up);  // the top of the range
    EXPECT_EQ(dialog.editNumLabels->value(), 1000);
}

TEST(PrintBarCodeDialogTest, OkStoresTheThreeValuesAndCancelOrEscStoreNothing) {
    enum Close { Ok, Cancel, Esc };
    for (Close close : {Ok, Cancel, Esc}) {
        Settings settings;
        settings.CustID = "12-345-6789";
        settings.SerialNum = "00000042";
        TF_PrintBarCode dialog(settings);
        ScopedScriptedUi scripted;
        scripted.ui.dialogAnswers.push_back([close](QDialog& d) {
            auto& dialog = static_cast<TF_PrintBarCode&>(d);
            dialog.editCustID->setText("98-765-4321");
            dialog.editSerialNum->setFocus();
            dialog.editSerialNum->selectAll();
            QTest::keyClicks(dialog.editSerialNum, "123");  // left incomplete: stored as it reads
            dialog.editNumLabels->setValue(250);
            if (close == Ok) dialog.btnOK->click();
            else if (close == Cancel) dialog.btnCancel->click();
            else QTest::keyClick(&dialog, Qt::Key_Escape);
        });
        const int result = Ui().RunModal(dialog);
        EXPECT_EQ(result, close == Ok ? QDialog::Accepted : QDialog::Rejected);
        EXPECT_EQ(dialog.NumLabels(), close == Ok ? 250 : 0);
        EXPECT_EQ(settings.SerialNum, close == Ok ? "123     " : "00000042");
        EXPECT_EQ(settings.CustID, close == Ok ? "98-765-4321" : "12-345-6789");
    }
}

class PrintBarCodesCommandTest : public ::testing::Test {
protected:
    void SetUp() override {
        IniFile ini(dirs.SettingsFile());
        ini.LoadFromText("[Values]\nCustID=12-345-6789\nSerialNum=00000006\nMailerNum=71000000000000000123\n"
                         "[Print Align]\nLeftRight=5\n");
        ASSERT_TRUE(ini.Save());
        numbers.Load(settings, dirs.Path() + "program/", {});
        SetPrintTargetForTesting(&printer);
    }
    void TearDown() override { SetPrintTargetForTesting(nullptr); }

    // Yes to the question; the dialog filled by `fill`, then OK.
    void Confirm(int labels, const std::function<void(TF_PrintBarCode&)>& fill = {}) {
        scripted.ui.messageAnswers.push_back(QMessageBox::Yes);
        scripted.ui.dialogAnswers.push_back([=, this](QDialog& d) {
            auto& dialog = static_cast<TF_PrintBarCode&>(d);
            shownSerial = dialog.editSerialNum->text();
            dialog.editNumLabels->setValue(labels);
            if (fill) fill(dialog);
            dialog.btnOK->click();
        });
    }
    void RunCommand() { PrintBarCodesCommand(settings, numbers, DefaultBaseFont(), nullptr); }
    std::string FileValue(const char* key) const {
        IniFile ini(dirs.SettingsFile());
        ini.Load();
        return ini.ReadString("Values", key, "");
    }
    QStringList Numbers() const {
        QStringList out;
        for (const auto& page : printer.pages)
            for (const RecordedItem& item : page.items)
                if (item.kind == RecordedItem::Kind::Text) {
                    out << item.text;
                    break;
                }
        return out;
    }
    static QString Grouped(const char* custId, const char* serial) {
        return QString::fromStdString(FormatArticleNumber(ComposeArticleNumber(custId, serial)));
    }

    test::SandboxDirs dirs;
    ScopedScriptedUi scripted;
    RecordingPrintTarget printer;
    Settings settings;
    SharedNumbers numbers{dirs.SettingsFile()};
    QString shownSerial;
};

TEST_F(PrintBarCodesCommandTest, PrintsTheLabelsAndTheNextPieceStepsPastTheLast) {
    Confirm(3);
    RunCommand();
    ASSERT_EQ(scripted.ui.asked.size(), 2u);
    EXPECT_EQ(scripted.ui.asked[0].text, kQuestion);
    EXPECT_EQ(scripted.ui.asked[0].icon, QMessageBox::Question);
    EXPECT_EQ(shownSerial, "00000007");  // the serial after the last one used
    EXPECT_EQ(Numbers(), (QStringList{Grouped("123456789", "00000007"), Grouped("123456789", "00000008"),
                                      Grouped("123456789", "00000009")}));
    // The alignment reaches the labels: B1 at 0.62 in, moved by 3 x 5 pixels.
    PrintMetrics metrics;
    metrics.resolutionX = metrics.resolutionY = 600;
    metrics.alignLeftRight = "5";
    EXPECT_EQ(printer.pages[0].items[0].x, DeviceX(metrics, 0.62));
    metrics.alignLeftRight = "0";
    EXPECT_EQ(printer.pages[0].items[0].x, DeviceX(metrics, 0.62) + 15);
    EXPECT_EQ(settings.SerialNum, "00000009");
    EXPECT_EQ(FileValue("SerialNum"), "00000009");  // saved at once
    EXPECT_EQ(settings.MailerNum, "71000000000000000123");
    EXPECT_EQ(scripted.ui.waitDepth, 0);
    EXPECT_GE(scripted.ui.waitCount, 1);
}

TEST_F(PrintBarCodesCommandTest, DeclinedOrCancelledChangesNothing) {
    scripted.ui.messageAnswers.push_back(QMessageBox::No);
    RunCommand();
    EXPECT_EQ(scripted.ui.Trail(), QStringList{"message"});

    scripted.ui.messageAnswers.push_back(QMessageBox::Yes);
    scripted.ui.dialogAnswers.push_back([](QDialog& d) {
        auto& dialog = static_cast<TF_PrintBarCode&>(d);
        dialog.editSerialNum->setText("00000500");
        dialog.editCustID->setText("98-765-4321");
        dialog.btnCancel->click();
    });
    RunCommand();
    EXPECT_TRUE(printer.pages.empty());
    EXPECT_EQ(settings.SerialNum, "00000006");
    EXPECT_EQ(settings.CustID, "12-345-6789");
    EXPECT_EQ(FileValue("SerialNum"), "00000006");
}

TEST_F(PrintBarCodesCommandTest, TheCustomerIdIsCheckedOnlyWhenBarcodesArePrinted) {
    Confirm(2, [](TF_PrintBarCode& d) { d.editCustID->setText("00-000-0000"); });
    RunCommand();
    EXPECT_TRUE(printer.pages.empty());
    ASSERT_EQ(scripted.ui.asked.size(), 3u);
    EXPECT_EQ(scripted.ui.asked[2].text,
              "You can not print a Mailer with \"00-000-0000\" as a Customer ID. (DUNS No.)\r\r"
              "Please enter in a Customer ID (DUNS No.), and try again.");
    EXPECT_EQ(scripted.ui.asked[2].icon, QMessageBox::Critical);
    EXPECT_EQ(settings.CustID, "00-000-0000");  // what was entered stays
    EXPECT_EQ(settings.SerialNum, "00000007");

    // Barcode printing off: the labels still carry barcodes, and the
    // pre-printed number stays on the last form used.
    settings.PrintBarCode = false;
    Confirm(2, [](TF_PrintBarCode& d) { d.editCustID->setText("00-000-0000"); });
    RunCommand();
    EXPECT_EQ(Numbers(), (QStringList{Grouped("000000000", "00000008"), Grouped("000000000", "00000009")}));
    EXPECT_EQ(printer.pages[0].items[0].kind, RecordedItem::Kind::Bitmap);
    EXPECT_EQ(settings.MailerNum, "71000000000000000123");
    EXPECT_EQ(settings.SerialNum, "00000009");
}

TEST_F(PrintBarCodesCommandTest, ARunThatStopsEarlySaysHowFarItGot) {
    // A serial that is no whole number: one label with zeros, then the message.
    Confirm(5, [](TF_PrintBarCode& d) { d.editSerialNum->setText("0001"); });
    RunCommand();
    EXPECT_EQ(Numbers(), QStringList{Grouped("123456789", "00000000")});
    ASSERT_EQ(scripted.ui.asked.size(), 3u);
    EXPECT_EQ(scripted.ui.asked[2].icon, QMessageBox::Critical);
    EXPECT_EQ(scripted.ui.asked[2].text,
              "The Identifier Serial Number \"0001    \" is not a whole number, so the first label was printed with "
              "the serial number 00000000 and printing stopped there.");
    EXPECT_EQ(settings.SerialNum, "00000006");

    // The printer fails on the first label: nothing printed, its serial used.
    scripted.ui.asked.clear();
    FailingPrintTarget failing;
    SetPrintTargetForTesting(&failing);
    Confirm(5);
    RunCommand();
    ASSERT_EQ(scripted.ui.asked.size(), 3u);
    EXPECT_EQ(scripted.ui.asked[2].text,
              "Printing the bar codes stopped: The printer is not available.\nNo label was printed.\n"
              "The serial number 00000007 of the label that failed may have been printed in part; it will not be "
              "used again.");
    EXPECT_EQ(settings.SerialNum, "00000007");
    EXPECT_EQ(FileValue("SerialNum"), "00000007");
}

TEST_F(PrintBarCodesCommandTest, CancelInTheProgressWindowStopsAfterThePageAndTellsTheLastSerial) {
    // Cancel is pressed while the second label prints.
    class CancellingPrinter : public PrintTarget {
    public:
        void PrintPage(const QString& jobName, const PageDrawer& draw) override {
            recording.PrintPage(jobName, draw);
            if (recording.pages.size() == 2)
                for (QWidget* w : QApplication::topLevelWidgets())
                    if (auto* progress = qobject_cast<RunProgressDialog*>(w)) {
                        EXPECT_TRUE(progress->isVisible());
                        EXPECT_EQ(progress->labelText(), "Printing label 2 of 10");
                        progress->cancel();
                    }
        }
        RecordingPrintTarget recording;
    } cancelling;
    SetPrintTargetForTesting(&cancelling);
    Confirm(10);
    RunCommand();
    EXPECT_EQ(cancelling.recording.pages.size(), 2u);
    ASSERT_EQ(scripted.ui.asked.size(), 3u);
    EXPECT_EQ(scripted.ui.asked[2].text,
              "Printing the bar codes was cancelled.\n2 of 10 labels were printed; the last serial number printed "
              "is 00000008.");
    EXPECT_EQ(settings.SerialNum, "00000008");
    EXPECT_EQ(FileValue("SerialNum"), "00000008");
    for (QWidget* w : QApplication::topLevelWidgets()) EXPECT_FALSE(qobject_cast<RunProgressDialog*>(w));
}

TEST_F(PrintBarCodesCommandTest, LabelsGoOutOnLetterPaperLikeEveryJob) {
    if (!test::PopplerToolsPresent()) GTEST_SKIP() << "poppler-utils are not installed";
    SystemPrintTarget system;
    system.Printer().setOutputFormat(QPrinter::PdfFormat);
    system.Printer().setOutputFileName(QString::fromStdString(dirs.File("labels.pdf")));
    scripted.ui.printerSetupAnswers.push_back(true);
    ASSERT_TRUE(system.Setup(nullptr));
    system.SetPaper(settings.PaperSize);  // as the window does at start
    SetPrintTargetForTesting(&system);
    Confirm(2);
    RunCommand();
    for (const char* file : {"labels.pdf", "labels-2.pdf"}) {
        const QString pdf = QString::fromStdString(dirs.File(file));
        EXPECT_EQ(test::PdfPageSize(pdf), QSizeF(612, 792)) << file;
        EXPECT_FALSE(test::PdfImages(pdf).empty()) << file;  // the two barcodes
    }
    EXPECT_TRUE(test::PdfText(QString::fromStdString(dirs.File("labels-2.pdf")))
                    .contains(Grouped("123456789", "00000008")));
}

}  // namespace
}  // namespace gs

namespace gs {
namespace {

// IMpb labels: refused before the question while a field is missing; with
// the fields, the dialog offers the IMpb serial after the last one used,
// hides the customer ID, and the labels carry the 22-digit numbers.
TEST_F(PrintBarCodesCommandTest, ImpbLabelsAreNumberedByTheImpbSerial) {
    settings.ArticleFormat = "IMpb";
    settings.IMpbServiceType = "071";
    settings.IMpbMailerId = "901234567";
    scripted.ui.messageAnswers.push_back(QMessageBox::Yes);
    RunCommand();
    ASSERT_EQ(scripted.ui.Trail(), (QStringList{"message", "message"}));  // the question, then why not
    EXPECT_EQ(scripted.ui.asked[1].text,
              "The IMpb number cannot be printed. The IMpb Serial Number is missing.\r\r"
              "Please correct it under Options > Mailer Number, and try again.");
    EXPECT_TRUE(printer.pages.empty());

    scripted.ui.asked.clear();
    settings.IMpbSerial = "9999998";
    settings.CustID = "00-000-0000";  // not part of an IMpb
    bool custIdShown = true;
    Confirm(2, [&](TF_PrintBarCode& d) { custIdShown = d.editCustID->isVisibleTo(&d); });
    RunCommand();
    EXPECT_FALSE(custIdShown);
    EXPECT_EQ(shownSerial, "9999999");
    EXPECT_EQ(Numbers(), (QStringList{"9207 1901 2345 6799 9999 95", "9207 1901 2345 6700 0000 00"}));
    EXPECT_EQ(settings.IMpbSerial, "0000000");
    EXPECT_EQ(FileValue("IMpbSerial"), "0000000");
    EXPECT_EQ(settings.SerialNum, "00000006");
}

}  // namespace
}  // namespace gs
