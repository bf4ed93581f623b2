#include "settings/tf_youraddress.h"

#include "platform/addressmemo.h"
#include "platform/scripteduserinteraction.h"
#include "settings/settings.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

namespace gs {
namespace {

Settings Stored() {
    Settings s;
    s.Line1 = "ACME Corp";
    s.Line3 = "1 Main St";
    s.City = "Springfield";
    s.State = "IL";
    s.Zip = "62701";
    return s;
}

TEST(TF_YourAddress, ShowsStoredLinesClosedUp) {
    Settings s = Stored();
    TF_YourAddress dialog(s);
    EXPECT_EQ(dialog.windowTitle(), "Your Name and Address");
    EXPECT_EQ(dialog.size(), QSize(303, 181));
    EXPECT_EQ(dialog.memoYourAddress->Lines(), QStringList({"ACME Corp", "1 Main St"}));
    EXPECT_EQ(dialog.editYourCity->text(), "Springfield");
    EXPECT_EQ(dialog.editYourCity->maxLength(), 35);
    EXPECT_EQ(dialog.editYourState->maxLength(), 4);
}

TEST(TF_YourAddress, OkStoresLinesAndCleansTheZip) {
    ScopedScriptedUi scripted;
    Settings s = Stored();
    scripted.ui.dialogAnswers.push_back([](QDialog& d) {
        auto& dialog = static_cast<TF_YourAddress&>(d);
        dialog.memoYourAddress->setPlainText("Widget Co\nDock 5\n9 Elm Rd");
        dialog.editYourZip->clear();
        dialog.editYourZip->setFocus();
        QTest::keyClicks(dialog.editYourZip, "60601");
        dialog.editYourCity->setText("Chicago");
        QTest::mouseClick(dialog.btnOK, Qt::LeftButton);
    });
    ASSERT_TRUE(EditSenderAddress(s, nullptr));
    EXPECT_EQ(s.Line1, "Widget Co");
    EXPECT_EQ(s.Line2, "Dock 5");
    EXPECT_EQ(s.Line3, "9 Elm Rd");
    EXPECT_EQ(s.Line4, "");
    EXPECT_EQ(s.City, "Chicago");
    EXPECT_EQ(s.Zip, "60601");  // no trailing hyphen

    scripted.ui.dialogAnswers.push_back([](QDialog& d) {
        auto& dialog = static_cast<TF_YourAddress&>(d);
        dialog.editYourZip->clear();  // the untouched mask reads as blanks and a hyphen
        dialog.btnOK->click();
    });
    ASSERT_TRUE(EditSenderAddress(s, nullptr));
    EXPECT_EQ(s.Zip, "");
}

TEST(TF_YourAddress, CancelAndEscChangeNothing) {
    ScopedScriptedUi scripted;
    Settings s = Stored();
    const Settings before = s;
    scripted.ui.dialogAnswers.push_back([](QDialog& d) {
        auto& dialog = static_cast<TF_YourAddress&>(d);
        dialog.editYourCity->setText("Elsewhere");
        dialog.btnCancel->click();
    });
    scripted.ui.dialogAnswers.push_back([](QDialog& d) {
        auto& dialog = static_cast<TF_YourAddress&>(d);
        dialog.editYourCity->setText("Elsewhere");
        QTest::keyClick(dialog.editYourCity, Qt::Key_Escape);
    });
    EXPECT_FALSE(EditSenderAddress(s, nullptr));
    EXPECT_FALSE(EditSenderAddress(s, nullptr));
    EXPECT_EQ(s, before);
}

TEST(TF_YourAddress, KeepsAtMostFourLines) {
    Settings s;
    TF_YourAddress dialog(s);
    dialog.memoYourAddress->setPlainText("1\n2\n3\n4\n5\n6");
    EXPECT_EQ(dialog.memoYourAddress->Lines(), QStringList({"1", "2", "3", "4"}));
    // A long line wraps, and every wrapped part counts as a line.
    dialog.memoYourAddress->setPlainText(
        "One\nTwo\nA rather long street line that cannot fit into the box at all, so it wraps twice over");
    EXPECT_EQ(dialog.memoYourAddress->Lines().size(), 4);
    EXPECT_EQ(dialog.memoYourAddress->Lines().first(), "One");
}

}  // namespace
}  // namespace gs
