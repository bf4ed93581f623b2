#include "piece/tf_align.h"
#include "printing/printcommands.h"
#include "printing/tf_extralabel.h"

#include "platform/scripteduserinteraction.h"
#include "settings/settings.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTest>
#include <gtest/gtest.h>

namespace gs {
namespace {

TEST(AlignDialogTest, ShowsTheOffsetsAndItsExplanation) {
    Settings settings;
    settings.LeftRight = -12;
    settings.TopBottom = 7;
    TF_Align dialog(settings);
    EXPECT_EQ(dialog.windowTitle(), "Printer Alignment");
    // The offsets and their buttons in the top 297 x 158, the preview pane
    // below; taller only by what the explanation needs beyond five lines in
    // the fonts at hand.
    const int grow = dialog.Label1->height() - 70;
    EXPECT_GE(grow, 0);
    EXPECT_EQ(dialog.GroupBox1->height(), 76 + grow);
    EXPECT_EQ(dialog.size(), QSize(297, 384 + grow));
    for (QWidget* w : std::initializer_list<QWidget*>{dialog.GroupBox1, dialog.spinLeftRight, dialog.SpinUpDown,
                                                      dialog.btnOK, dialog.btnCancel})
        EXPECT_TRUE(QRect(0, 0, 297, 158 + grow).contains(w->geometry())) << w->objectName().toStdString();
    EXPECT_GE(dialog.gbPreview->y(), 156 + grow);
    EXPECT_EQ(dialog.Label1->text(),
              "The numbers below will move the text on the form either 1/100\" to the right if a negative number "
              "or to the left if a positive number.  It also can move the text  1/100\" up if a positive number "
              "and down if a negative number.");
    EXPECT_TRUE(dialog.Label1->wordWrap());
    EXPECT_EQ(dialog.Label2->text(), "Left & Right");
    EXPECT_TRUE(dialog.Label2->font().bold());
    EXPECT_EQ(dialog.Label3->text(), "Up and Down");
    EXPECT_EQ(dialog.spinLeftRight->value(), -12);
    EXPECT_EQ(dialog.SpinUpDown->value(), 7);
    for (QSpinBox* spin : {dialog.spinLeftRight, dialog.SpinUpDown}) {
        EXPECT_EQ(spin->minimum(), -999);
        EXPECT_EQ(spin->maximum(), 999);
    }
    EXPECT_EQ(dialog.findChild<QSpinBox*>("spinLeftRight"), dialog.spinLeftRight);
    EXPECT_EQ(dialog.findChild<QSpinBox*>("SpinUpDown"), dialog.SpinUpDown);
}

TEST(AlignDialogTest, OkStoresAndCancelOrEscDoNot) {
    enum Close { Ok, Cancel, Esc };
    for (Close close : {Ok, Cancel, Esc}) {
        Settings settings;
        settings.LeftRight = 3;
        settings.TopBottom = -4;
        ScopedScriptedUi scripted;
        scripted.ui.dialogAnswers.push_back([close](QDialog& d) {
            auto& dialog = static_cast<TF_Align&>(d);
            dialog.spinLeftRight->setValue(-999);
            QLineEdit* upDown = dialog.SpinUpDown->findChild<QLineEdit*>();
            upDown->selectAll();
            QTest::keyClicks(upDown, "25");  // typed, not yet confirmed
            if (close == Ok) dialog.btnOK->click();
            else if (close == Cancel) dialog.btnCancel->click();
            else QTest::keyClick(&dialog, Qt::Key_Escape);
        });
        AlignmentCommand(settings, PiecePreview{}, nullptr);
        EXPECT_EQ(scripted.ui.Trail(), QStringList{"dialog:gs::TF_Align"});
        EXPECT_EQ(settings.LeftRight, close == Ok ? -999 : 3) << close;
        EXPECT_EQ(settings.TopBottom, close == Ok ? 25 : -4) << close;
    }
}

TEST(ExtraLabelDialogTest, OpensOnTheStoredChoice) {
    struct Case { const char* on; bool yes; bool no; bool comboEnabled; };
    for (const Case& c : {Case{"Yes", true, false, true}, {"No", false, true, false}, {"yes", false, false, false}}) {
        Settings settings;
        settings.PrintExtraLabel = c.on;
        settings.ExtraLabel = "Your Name and Address";
        TF_ExtraLabel dialog(settings);
        EXPECT_EQ(dialog.rbYes->isChecked(), c.yes) << c.on;
        EXPECT_EQ(dialog.rbNo->isChecked(), c.no) << c.on;
        EXPECT_EQ(dialog.cbExtraLabel->isEnabled(), c.comboEnabled) << c.on;
        EXPECT_EQ(dialog.cbExtraLabel->currentText(), "Your Name and Address");
    }
    Settings settings;
    TF_ExtraLabel dialog(settings);
    EXPECT_EQ(dialog.windowTitle(), "Extra Label");
    EXPECT_EQ(dialog.rgExtraLabel->title(), "Print Address on Extra Label?");
    EXPECT_EQ(dialog.Label1->text(),
              "Use this window to print an Address on the \"Extra Label\" located on the upper right corner of "
              "the form.  This label is intended for the postage label.  If you are printing the Postage on this "
              "label, you don't want to print an address here.");
    EXPECT_EQ(dialog.Label2->text(), "Address for Extra Label:");
    ASSERT_EQ(dialog.cbExtraLabel->count(), 2);
    EXPECT_EQ(dialog.cbExtraLabel->itemText(0), "Addressed To");
    EXPECT_EQ(dialog.cbExtraLabel->itemText(1), "Your Name and Address");
    EXPECT_TRUE(dialog.cbExtraLabel->isEditable());
}

TEST(ExtraLabelDialogTest, TheComboFollowsTheRadioGroup) {
    Settings settings;
    TF_ExtraLabel dialog(settings);
    dialog.show();
    dialog.rbNo->click();
    EXPECT_FALSE(dialog.cbExtraLabel->isEnabled());
    dialog.rbYes->click();
    EXPECT_TRUE(dialog.cbExtraLabel->isEnabled());
}

TEST(ExtraLabelDialogTest, OkStoresUnknownAddressesAsTheRecipient) {
    struct Case { const char* typed; bool pickNo; const char* on; const char* address; };
    const Case cases[] = {
        {"Your Name and Address", false, "Yes", "Your Name and Address"},
        {"Addressed To", true, "No", "Addressed To"},
        {"My Own Label", false, "Yes", "Addressed To"},
    };
    for (const Case& c : cases) {
        Settings settings;
        settings.PrintExtraLabel = "Yes";
        settings.ExtraLabel = "Addressed To";
        ScopedScriptedUi scripted;
        scripted.ui.dialogAnswers.push_back([&c](QDialog& d) {
            auto& dialog = static_cast<TF_ExtraLabel&>(d);
            dialog.cbExtraLabel->lineEdit()->selectAll();
            QTest::keyClicks(dialog.cbExtraLabel->lineEdit(), c.typed);
            if (c.pickNo) dialog.rbNo->click();
            dialog.btnOK->click();
        });
        ExtraLabelCommand(settings, nullptr);
        EXPECT_EQ(settings.PrintExtraLabel, c.on) << c.typed;
        EXPECT_EQ(settings.ExtraLabel, c.address) << c.typed;
    }
}

TEST(ExtraLabelDialogTest, CancelEscAndNoSelectionKeepTheSettings) {
    for (int way = 0; way < 3; ++way) {
        Settings settings;
        settings.PrintExtraLabel = way == 2 ? "yes" : "Yes";
        settings.ExtraLabel = "Your Name and Address";
        ScopedScriptedUi scripted;
        scripted.ui.dialogAnswers.push_back([way](QDialog& d) {
            auto& dialog = static_cast<TF_ExtraLabel&>(d);
            if (way < 2) dialog.rbNo->click();
            if (way == 0) dialog.btnCancel->click();
            else if (way == 1) QTest::keyClick(&dialog, Qt::Key_Escape);
            else dialog.btnOK->click();  // nothing selected: the stored word stays
        });
        ExtraLabelCommand(settings, nullptr);
        EXPECT_EQ(settings.PrintExtraLabel, way == 2 ? "yes" : "Yes") << way;
        EXPECT_EQ(settings.ExtraLabel, "Your Name and Address") << way;
    }
}

}  // namespace
}  // namespace gs
