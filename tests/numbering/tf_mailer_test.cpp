#include "numbering/tf_mailer.h"

#include "platform/maskedit.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest/QTest>
#include <gtest/gtest.h>

#include "numbering/articlenumber.h"
#include "numbering/imbfields.h"
#include "numbering/impbfields.h"
#include "platform/scripteduserinteraction.h"

namespace gs {
namespace {

Settings BarcodeSettings() {
    Settings s;
    s.PrintBarCode = true;
    s.CustID = "12-345-6789";
    s.SerialNum = "00000041";
    s.MailerNum = "71031234567000000135";
    s.Increment = true;
    return s;
}

Settings PreprintedSettings() {
    Settings s = BarcodeSettings();
    s.PrintBarCode = false;
    s.Increment = false;
    return s;
}

// Replaces a field's content the way the user would: select all and type.
void Type(QLineEdit* edit, const QString& text) {
    edit->setFocus();
    edit->selectAll();
    QTest::keyClicks(edit, text);
}

void ShowActive(QDialog& dialog) {
    dialog.show();
    dialog.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
}

TEST(TF_Mailer, BarcodeModeShowsIdAndSerialOnly) {
    Settings s = BarcodeSettings();
    bool show = false;
    TF_Mailer dialog(s, show, false);
    EXPECT_EQ(dialog.windowTitle(), "Mailer Number");
    EXPECT_EQ(dialog.size(), QSize(385, 150));
    EXPECT_TRUE(dialog.gbPrintBarcode->isVisibleTo(&dialog));
    EXPECT_FALSE(dialog.gbNoBarCode->isVisibleTo(&dialog));
    EXPECT_FALSE(dialog.cbDontShow->isVisibleTo(&dialog));
    EXPECT_EQ(MaskedText(*dialog.editCustID), "12-345-6789");
    EXPECT_EQ(MaskedText(*dialog.editSerialNum), "00000041");
    EXPECT_EQ(dialog.gbNoBarCode->geometry(), dialog.gbPrintBarcode->geometry());
    EXPECT_EQ(dialog.editCustID->toolTip(), "Click on \"Help\" for information on the Identifier Serial Number");
    EXPECT_TRUE(dialog.btnOK->isDefault());
}

TEST(TF_Mailer, PreprintedModeShowsNumberAndDirection) {
    Settings s = PreprintedSettings();
    bool show = false;
    TF_Mailer dialog(s, show, true);
    EXPECT_EQ(dialog.size(), QSize(385, 182));  // room for the check box
    EXPECT_FALSE(dialog.gbPrintBarcode->isVisibleTo(&dialog));
    EXPECT_TRUE(dialog.gbNoBarCode->isVisibleTo(&dialog));
    EXPECT_TRUE(dialog.cbDontShow->isVisibleTo(&dialog));
    EXPECT_FALSE(dialog.cbDontShow->isChecked());
    EXPECT_EQ(dialog.cbDontShow->text(), "Do not show this screen again");
    EXPECT_EQ(MaskedText(*dialog.editMailerNum).trimmed(), "71031234567000000135");
    EXPECT_EQ(dialog.CountTypeIndex(), 1);
    EXPECT_EQ(dialog.rgCountType->title(), "Count Type");
}

TEST(TF_Mailer, MaskedFieldsReadEmptyPositionsAsBlanks) {
    Settings s = BarcodeSettings();
    s.CustID = "";
    s.SerialNum = "12";
    bool show = false;
    TF_Mailer dialog(s, show, false);
    EXPECT_EQ(MaskedText(*dialog.editCustID), "  -   -    ");
    EXPECT_EQ(MaskedText(*dialog.editSerialNum), "12      ");
}

TEST(TF_Mailer, HelpGrowsTheWindowOnceAndShowsThePanelOfTheMode) {
    struct Case {
        bool barcode;
        bool box;
        int height;
        int panelTop;
    };
    for (const Case c : {Case{true, false, 150 + 152, 150}, Case{true, true, 150 + 32 + 152, 182},
                         Case{false, false, 150 + 200, 150}, Case{false, true, 150 + 32 + 200, 182}}) {
        Settings s = c.barcode ? BarcodeSettings() : PreprintedSettings();
        bool show = false;
        TF_Mailer dialog(s, show, c.box);
        QFrame* panel = c.barcode ? dialog.panelBarCode : dialog.panelMailerNum;
        QFrame* other = c.barcode ? dialog.panelMailerNum : dialog.panelBarCode;
        EXPECT_FALSE(panel->isVisibleTo(&dialog));
        dialog.btnHelp->click();
        EXPECT_EQ(dialog.size(), QSize(385, c.height)) << c.barcode << c.box;
        EXPECT_TRUE(panel->isVisibleTo(&dialog));
        EXPECT_FALSE(other->isVisibleTo(&dialog));
        EXPECT_EQ(panel->y(), c.panelTop);
        EXPECT_FALSE(dialog.btnHelp->isEnabled());
        dialog.btnHelp->click();  // disabled: no second growth
        EXPECT_EQ(dialog.height(), c.height);
    }
}

QStringList LabelTexts(QWidget* panel) {
    QStringList out;
    for (QWidget* w : panel->findChildren<QWidget*>()) {
        if (auto* label = qobject_cast<QLabel*>(w)) out << label->text();
        if (auto* memo = qobject_cast<QPlainTextEdit*>(w)) out << memo->toPlainText();
    }
    return out;
}

TEST(TF_Mailer, HelpPanelsHoldTheTextsInReadingOrder) {
    Settings s = BarcodeSettings();
    bool show = false;
    TF_Mailer dialog(s, show, false);
    EXPECT_EQ(LabelTexts(dialog.panelBarCode),
              QStringList({"https://www.dnb.com", "Customer ID:",
                           "You may request a nine-digit customer ID (i.e., your DUNS",
                           "number) from your postal representative or by contacting Dun & Bradstreet",
                           "by telephone at 800-333-0505 or via Internet at",
                           "This number uniquely identifies business entities at specific physical addresses.  If "
                           "you are generating mailings at multiple locations, you must use the DUNS number "
                           "appropriate for each mailing location.",
                           "Identifier Serial Number:", "You will self-assign an eight-digit Identifier",
                           "Serial Number.  This number must remain unique for at least 2 years in order to ensure "
                           "that it identifies only one mailpiece."}));
    EXPECT_EQ(LabelTexts(dialog.panelMailerNum),
              QStringList({"\"Decrement\" depending on the order you have the Mailer's in your printer. \n"
                           "Some printers  pull paper from the bottom of the pile and some from the top. \n"
                           "Thus if your printer takes paper from the bottom of the pile, you must use \n"
                           "the mailer number from the bottom of the pile of mailers and have the \n"
                           "counter decrement the number for each new label. ",
                           "20 Digit Mailer Number:", "You have chosen not to print the bar code's,",
                           "thus your mailers must have the bar code already printed on them.  You must enter all "
                           "20 digits of the next Mailer Number in your printer.",
                           "Increment/Decrement:", "You can select either \"Increment\", or ",
                           "To determine the order of your mailer numbers, look at the last 10 digits of the "
                           "Mailer Number and ignore the last digit.  The remaining 9 digits will be",
                           "your", "unique number", ". These", "unique numbers", "should be consecutive."}));
    const auto bold = [&](const char* text) {
        for (auto* label : dialog.panelMailerNum->findChildren<QLabel*>())
            if (label->text() == text) return label->font().bold();
        return false;
    };
    EXPECT_TRUE(bold("unique number"));
    EXPECT_TRUE(bold("unique numbers"));
    EXPECT_FALSE(bold("your"));
}

TEST(TF_Mailer, DnBLinkOpensWithHandCursor) {
    ScopedScriptedUi scripted;
    Settings s = BarcodeSettings();
    bool show = false;
    TF_Mailer dialog(s, show, false);
    dialog.btnHelp->click();
    ShowActive(dialog);
    QEvent enter(QEvent::Enter);
    QApplication::sendEvent(dialog.LabelDnB, &enter);
    EXPECT_EQ(dialog.LabelDnB->cursor().shape(), Qt::PointingHandCursor);
    QTest::mouseClick(dialog.LabelDnB, Qt::LeftButton);
    ASSERT_EQ(scripted.ui.asked.size(), 1u);
    EXPECT_EQ(scripted.ui.asked[0].kind, "url");
    EXPECT_EQ(scripted.ui.asked[0].text, "https://www.dnb.com");
}

TEST(TF_Mailer, OkInBarcodeModeStoresIdAndSerialOnly) {
    for (bool ticked : {false, true}) {
        Settings s = BarcodeSettings();
        Settings expected = s;
        bool show = !ticked;  // starts opposite to what OK must leave
        TF_Mailer dialog(s, show, true);
        ShowActive(dialog);
        Type(dialog.editCustID, "987654321");
        Type(dialog.editSerialNum, "00000100");
        dialog.cbDontShow->setChecked(ticked);
        dialog.btnOK->click();
        EXPECT_EQ(dialog.result(), QDialog::Accepted);
        expected.CustID = "98-765-4321";
        expected.SerialNum = "00000100";
        EXPECT_EQ(s, expected);  // MailerNum and Increment untouched
        EXPECT_EQ(show, !ticked);
    }
}

TEST(TF_Mailer, OkInPreprintedModeStoresNumberAndDirectionOnly) {
    Settings s = PreprintedSettings();
    s.Increment = true;
    Settings expected = s;
    bool show = false;
    TF_Mailer dialog(s, show, false);
    ShowActive(dialog);
    Type(dialog.editMailerNum, "70999999999999999999");
    dialog.rgCountType->findChildren<QRadioButton*>().at(1)->click();
    QTest::keyClick(dialog.editMailerNum, Qt::Key_Return);  // Enter confirms the dialog
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    expected.MailerNum = "70999999999999999999";  // stored exactly as typed
    expected.Increment = false;
    EXPECT_EQ(s, expected);
    EXPECT_TRUE(show);  // box hidden: confirming turns the per-print dialog back on
}

Settings ImbSettings(bool barcode) {
    Settings s = barcode ? BarcodeSettings() : PreprintedSettings();
    s.ZipBarCode = "IMB";
    s.IMbServiceType = "040";
    s.IMbMailerId = "123456";
    s.IMbSerial = "000000001";
    return s;
}

TEST(TF_Mailer, TrackingFieldsShowOnlyWithTheIntelligentMailBarcodeAndHelpExplainsThem) {
    // The window grows by the tracking box, as tall as its fields and hints need.
    struct Case { bool imb, barcode, box; int height, helpHeight, modePanelTop; };
    const Case cases[] = {
        {false, true, false, 150, 150 + 152, 150},
        {true, true, false, 150, 150 + 152 + 124, 150},
        {true, false, true, 150 + 32, 150 + 32 + 200 + 124, 182},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.imb << c.barcode << c.box);
        Settings s = c.imb ? ImbSettings(c.barcode) : BarcodeSettings();
        bool show = false;
        TF_Mailer dialog(s, show, c.box);
        const int room = c.imb ? dialog.gbIMb->height() + 4 : 0;
        EXPECT_EQ(dialog.size(), QSize(385, c.height + room));
        EXPECT_EQ(dialog.gbIMb->isVisibleTo(&dialog), c.imb);
        if (c.imb) {
            EXPECT_EQ(dialog.gbIMb->Fields(), (ImbTrackingFields{"00", "040", "123456", "000000001"}));
            EXPECT_GE(dialog.gbIMb->height(), dialog.gbIMb->NeededHeight());
            EXPECT_GE(dialog.gbIMb->y(), dialog.gbPrintBarcode->geometry().bottom());
            if (c.box) {
                EXPECT_GT(dialog.cbDontShow->y(), dialog.gbIMb->geometry().bottom());
            }
            // Each field says what goes in it, and the tracking serial is not
            // called a serial number, which the article number has.
            QStringList texts;
            for (QLabel* l : dialog.gbIMb->findChildren<QLabel*>()) texts << l->text();
            for (const char* t : {"Barcode ID", "Service Type", "Mailer ID", "Tracking Serial",
                                  "6 or 9 digits, from the postal service",
                                  "9 digits with a 6-digit Mailer ID, 6 with a 9-digit one"})
                EXPECT_TRUE(texts.contains(t)) << t;
            EXPECT_FALSE(texts.join("|").contains("Serial Number"));
        }
        dialog.btnHelp->click();
        EXPECT_EQ(dialog.height(), c.helpHeight + room);
        QFrame* modePanel = c.barcode ? dialog.panelBarCode : dialog.panelMailerNum;
        EXPECT_EQ(modePanel->y(), c.modePanelTop + room);
        EXPECT_EQ(dialog.panelIMb->isVisibleTo(&dialog), c.imb);
        if (c.imb) {
            EXPECT_EQ(dialog.panelIMb->y(), modePanel->geometry().bottom() + 1);
            EXPECT_EQ(dialog.panelIMb->geometry().bottom() + 1, c.helpHeight + room);
        }
    }
}

TEST(TF_Mailer, OkStoresTrackingFieldsThatMakeACodeAndRefusesOthers) {
    ScopedScriptedUi scripted;
    Settings s = ImbSettings(true);
    bool show = false;
    TF_Mailer dialog(s, show, false);
    ShowActive(dialog);
    Type(dialog.gbIMb->editIMbMailerId, "912345678");  // nine digits want a six-digit serial
    dialog.btnOK->click();
    EXPECT_EQ(dialog.result(), 0);
    ASSERT_EQ(scripted.ui.Trail(), QStringList{"message"});
    EXPECT_EQ(scripted.ui.asked[0].text, "With a 9-digit Mailer ID the Tracking Serial has 6 digits.");
    EXPECT_EQ(QApplication::focusWidget(), dialog.gbIMb->editIMbSerial);
    EXPECT_EQ(s.IMbMailerId, "123456");

    Type(dialog.gbIMb->editIMbSerial, "004711");
    Type(dialog.gbIMb->editIMbServiceType, "270");
    dialog.btnOK->click();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(ImbTrackingOf(s), (ImbTrackingFields{"00", "270", "912345678", "004711"}));
    EXPECT_EQ(s.CustID, "12-345-6789");

    // With POSTNET the stored fields are neither shown nor touched.
    Settings postnet = BarcodeSettings();
    postnet.IMbMailerId = "12";
    TF_Mailer plain(postnet, show, false);
    plain.btnOK->click();
    EXPECT_EQ(plain.result(), QDialog::Accepted);
    EXPECT_EQ(postnet.IMbMailerId, "12");
}

TEST(TF_Mailer, ImpbFieldsShowInBarcodeModeAndOkNamesTheFieldThatIsWrong) {
    ScopedScriptedUi scripted;
    Settings s = BarcodeSettings();
    s.ArticleFormat = "IMpb";
    s.IMpbChannel = "92";
    bool show = false;
    TF_Mailer dialog(s, show, false);
    ShowActive(dialog);
    EXPECT_TRUE(dialog.gbIMpb->isVisibleTo(&dialog));
    EXPECT_EQ(dialog.size(), QSize(385, 150 + kImpbBoxRoom));
    dialog.btnOK->click();
    EXPECT_EQ(dialog.result(), 0);
    ASSERT_EQ(scripted.ui.Trail(), QStringList{"message"});
    EXPECT_EQ(scripted.ui.asked[0].text, "The IMpb Service Type Code is missing.");
    EXPECT_EQ(QApplication::focusWidget(), dialog.gbIMpb->editIMpbServiceType);

    Type(dialog.gbIMpb->editIMpbServiceType, "071");
    Type(dialog.gbIMpb->editIMpbMailerId, "901234567");
    Type(dialog.gbIMpb->editIMpbSerial, "0000001");
    dialog.btnOK->click();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(ImpbFieldsOf(s), (ImpbFields{"92", "071", "901234567", "0000001"}));

    // Pre-printed mode shows no IMpb fields and takes a form's 22 digits, not 21.
    Settings pre = PreprintedSettings();
    pre.ArticleFormat = "IMpb";
    TF_Mailer preprinted(pre, show, false);
    ShowActive(preprinted);
    EXPECT_FALSE(preprinted.gbIMpb->isVisibleTo(&preprinted));
    Type(preprinted.editMailerNum, "920719012345670000001");
    preprinted.btnOK->click();
    EXPECT_EQ(preprinted.result(), 0);
    EXPECT_EQ(scripted.ui.asked.back().text, "The Mailer Number has 20 digits, or 22 on an IMpb form.");
    Type(preprinted.editMailerNum, "9207190123456700000017");
    preprinted.btnOK->click();
    EXPECT_EQ(preprinted.result(), QDialog::Accepted);
    EXPECT_EQ(pre.MailerNum, "9207190123456700000017");
}

TEST(TF_Mailer, CancelEscAndCloseBoxChangeNothing) {
    const std::function<void(TF_Mailer&)> ways[] = {
        [](TF_Mailer& d) { d.btnCancel->click(); },
        [](TF_Mailer& d) { QTest::keyClick(d.editSerialNum, Qt::Key_Escape); },
        [](TF_Mailer& d) { d.close(); },
    };
    for (const auto& way : ways) {
        Settings s = BarcodeSettings();
        const Settings original = s;
        bool show = false;
        TF_Mailer dialog(s, show, true);
        ShowActive(dialog);
        Type(dialog.editSerialNum, "00000100");
        dialog.cbDontShow->setChecked(true);
        way(dialog);
        EXPECT_FALSE(dialog.isVisible());
        EXPECT_EQ(dialog.result(), QDialog::Rejected);
        EXPECT_EQ(s, original);
        EXPECT_FALSE(show);
    }
}

TEST(TF_Mailer, EditedFieldWithEmptyPositionKeepsTheFocus) {
    ScopedScriptedUi scripted;
    Settings s = BarcodeSettings();
    const Settings original = s;
    bool show = false;
    TF_Mailer dialog(s, show, false);
    ShowActive(dialog);
    Type(dialog.editSerialNum, "123");
    EXPECT_EQ(MaskedText(*dialog.editSerialNum), "123     ");
    QTest::keyClick(dialog.editSerialNum, Qt::Key_Tab);
    QApplication::processEvents();
    EXPECT_EQ(QApplication::focusWidget(), dialog.editSerialNum);
    ASSERT_EQ(scripted.ui.asked.size(), 1u);
    EXPECT_EQ(scripted.ui.asked[0].icon, QMessageBox::Critical);

    // OK refuses too, Enter included, and stores nothing.
    dialog.btnOK->click();
    QTest::keyClick(dialog.editSerialNum, Qt::Key_Return);
    QApplication::processEvents();
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(s, original);
    EXPECT_EQ(scripted.ui.asked.size(), 3u);

    // Esc still cancels.
    QTest::keyClick(dialog.editSerialNum, Qt::Key_Escape);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
    EXPECT_EQ(s, original);
}

TEST(TF_Mailer, CompleteOrUntouchedFieldsLetTheFocusGo) {
    ScopedScriptedUi scripted;
    Settings s = BarcodeSettings();
    s.CustID = "12-345";  // from the settings: shown as it is, not checked
    bool show = false;
    TF_Mailer dialog(s, show, false);
    ShowActive(dialog);
    dialog.editCustID->setFocus();
    QTest::keyClick(dialog.editCustID, Qt::Key_Tab);
    Type(dialog.editSerialNum, "00000007");
    QTest::keyClick(dialog.editSerialNum, Qt::Key_Tab);
    QApplication::processEvents();
    EXPECT_NE(QApplication::focusWidget(), dialog.editSerialNum);
    EXPECT_TRUE(scripted.ui.asked.empty());
    dialog.btnOK->click();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(s.CustID, "12-345-    ");  // OK stores what the field holds
    EXPECT_EQ(s.SerialNum, "00000007");
}

TEST(MailerNumberCommand, OkStepsBackSoTheNextPrintUsesTheNumberEntered) {
    ScopedScriptedUi scripted;
    Settings s = BarcodeSettings();
    bool show = false;
    QString shown;
    bool boxShown = true;
    scripted.ui.dialogAnswers.push_back([&](QDialog& d) {
        auto& dialog = static_cast<TF_Mailer&>(d);
        shown = MaskedText(*dialog.editSerialNum);
        boxShown = dialog.cbDontShow->isVisible();
        Type(dialog.editSerialNum, "00000100");
        dialog.btnOK->click();
    });
    MailerNumberCommand(s, show, nullptr);
    EXPECT_EQ(scripted.ui.Trail(), QStringList({"dialog:gs::TF_Mailer"}));
    EXPECT_EQ(shown, "00000042");
    EXPECT_FALSE(boxShown);
    EXPECT_EQ(s.SerialNum, "00000099");
    EXPECT_TRUE(show);
    StepArticleNumber(s);  // what the next print does
    EXPECT_EQ(s.SerialNum, "00000100");
}

TEST(MailerNumberCommand, PreprintedOkStoresTheNumberBeforeTheOneEntered) {
    ScopedScriptedUi scripted;
    Settings s = PreprintedSettings();  // counting down
    bool show = false;
    scripted.ui.dialogAnswers.push_back([&](QDialog& d) {
        auto& dialog = static_cast<TF_Mailer&>(d);
        EXPECT_EQ(MaskedText(*dialog.editMailerNum).trimmed(), "71031234567000000128");
        Type(dialog.editMailerNum, "70031234567000000123");
        dialog.btnOK->click();
    });
    MailerNumberCommand(s, show, nullptr);
    // Unstepped against a downward count: serial + 1, composed again with "71".
    EXPECT_EQ(s.MailerNum, "71031234567000000135");
    EXPECT_FALSE(s.Increment);
}

TEST(MailerNumberCommand, TrackingSerialShownIsTheNextPiecesAndTheNextPrintStepsOntoIt) {
    ScopedScriptedUi scripted;
    Settings s = ImbSettings(true);
    bool show = false;
    QString shown;
    scripted.ui.dialogAnswers.push_back([&](QDialog& d) {
        auto& dialog = static_cast<TF_Mailer&>(d);
        shown = dialog.gbIMb->editIMbSerial->text();
        dialog.gbIMb->editIMbSerial->setText("000000500");
        dialog.btnOK->click();
    });
    MailerNumberCommand(s, show, nullptr);
    EXPECT_EQ(shown, "000000004");  // one serial for each of the form's three symbols
    EXPECT_EQ(s.IMbSerial, "000000497");
    StepArticleNumber(s);  // what the next print does
    EXPECT_EQ(s.IMbSerial, "000000500");
}

TEST(MailerNumberCommand, CancelRestoresEverything) {
    for (Settings s : {BarcodeSettings(), PreprintedSettings(), ImbSettings(true)}) {
        ScopedScriptedUi scripted;
        const Settings original = s;
        bool show = false;
        scripted.ui.dialogAnswers.push_back([](QDialog& d) {
            auto& dialog = static_cast<TF_Mailer&>(d);
            Type(dialog.editCustID, "987654321");
            Type(dialog.editMailerNum, "71999999999999999999");
            dialog.btnCancel->click();
        });
        MailerNumberCommand(s, show, nullptr);
        EXPECT_EQ(s, original);
        EXPECT_FALSE(show);
    }
}

TEST(MailerNumberCommand, UnreadableSerialStopsBeforeTheDialog) {
    ScopedScriptedUi scripted;
    Settings s = BarcodeSettings();
    s.SerialNum = "4l";
    const Settings original = s;
    bool show = false;
    EXPECT_THROW(MailerNumberCommand(s, show, nullptr), ArticleNumberError);
    EXPECT_EQ(s, original);
    EXPECT_TRUE(scripted.ui.asked.empty());
}

}  // namespace
}  // namespace gs
