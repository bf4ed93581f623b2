#include "dialogs/buttonchoicedialog.h"

#include <QFontMetrics>
#include <QLabel>
#include <QPushButton>
#include <QtTest/QTest>
#include <gtest/gtest.h>

#include "platform/scripteduserinteraction.h"

namespace gs {
namespace {

const QStringList kShort = {"&Yes", "&No", "Ma&ybe"};

int Widest(const QFontMetrics& fm, const QStringList& captions) {
    int widest = 0;
    for (const auto& c : captions) widest = std::max(widest, fm.horizontalAdvance(c));
    return widest;
}

TEST(ButtonChoiceDialog, ShortCaptionsAndMessageGiveExactlyTheButtonsWidth) {
    ButtonChoiceDialog dialog("Title", "Go?", kShort);
    const QFontMetrics fm(dialog.font());
    const int bw = Widest(fm, kShort) + 10;
    const int line = fm.height();
    EXPECT_EQ(dialog.width(), 3 * bw + 40);
    EXPECT_LT(dialog.width(), 325);
    EXPECT_EQ(dialog.height(), 3 * line + 4 * line + 22);
    EXPECT_EQ(dialog.windowTitle(), "Title");
    // Right to left in caption order with 10-pixel gaps, 35 pixels above the bottom.
    for (int i = 1; i <= 3; ++i) {
        EXPECT_EQ(dialog.Button(i)->text(), kShort[i - 1]);
        EXPECT_EQ(dialog.Button(i)->geometry(),
                  QRect(dialog.width() - i * (bw + 10), dialog.height() - 35, bw, 25));
    }
    EXPECT_EQ(dialog.Button(3)->x(), 10);
    EXPECT_EQ(dialog.MessageLabel()->geometry(), QRect(10, 10, dialog.width() - 20, 3 * line));
    EXPECT_TRUE(dialog.MessageLabel()->wordWrap());
}

TEST(ButtonChoiceDialog, LongMessageKeepsTheWidthAndGrowsTheLabel) {
    const QString message = QString("A database of the same name has been found in this location.  ").repeated(4);
    ButtonChoiceDialog dialog("Greenslip", message, kShort);
    const QFontMetrics fm(dialog.font());
    const int line = fm.height();
    const int messageWidth = fm.horizontalAdvance(message);
    ASSERT_GT(messageWidth, 2 * 325);
    EXPECT_EQ(dialog.width(), 325);
    const int labelHeight = line * (messageWidth / 325 + 3);
    EXPECT_EQ(dialog.MessageLabel()->height(), labelHeight);
    EXPECT_EQ(dialog.height(), labelHeight + 4 * line + 22);
    EXPECT_EQ(dialog.MessageLabel()->text(), message);
}

TEST(ButtonChoiceDialog, ManyCaptionsWidenTheDialog) {
    const QStringList captions = {"&First choice", "&Second choice", "&Third choice", "F&ourth choice",
                                  "Fi&fth choice"};
    ButtonChoiceDialog dialog("T", "Which one?", captions);
    const int bw = Widest(QFontMetrics(dialog.font()), captions) + 10;
    ASSERT_GT(5 * bw + 60, 325);
    EXPECT_EQ(dialog.width(), 5 * bw + 60);
    EXPECT_EQ(dialog.Button(5)->x(), 10);
}

TEST(ButtonChoiceDialog, ReturnsThePositionOfThePressedButton) {
    ScopedScriptedUi scripted;
    scripted.ui.dialogAnswers.push_back([](QDialog& d) { static_cast<ButtonChoiceDialog&>(d).Button(2)->click(); });
    EXPECT_EQ(AskButtonChoice(nullptr, kRegistrationTitle, kRegistrationNotice,
                              {kNeverPrintCaption, kPrintLaterCaption, kPrintNowCaption}),
              2);
    ASSERT_EQ(scripted.ui.asked.size(), 1u);
    EXPECT_EQ(scripted.ui.asked[0].text, "Bar Code Printing Registration");
}

TEST(ButtonChoiceDialog, LastCaptionHasTheFocusAndEnterPressesIt) {
    ButtonChoiceDialog dialog("T", "Go?", kShort);
    dialog.show();
    dialog.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
    EXPECT_EQ(QApplication::focusWidget(), dialog.Button(3));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.result(), 3);
}

TEST(ButtonChoiceDialog, EscAndCloseDoNothing) {
    ButtonChoiceDialog dialog("T", "Go?", kShort);
    dialog.show();
    dialog.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
    QTest::keyClick(dialog.Button(3), Qt::Key_Escape);
    dialog.close();
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_FALSE(dialog.windowFlags() & Qt::WindowCloseButtonHint);
    EXPECT_FALSE(dialog.windowFlags() & Qt::WindowSystemMenuHint);
    EXPECT_TRUE(dialog.windowFlags() & Qt::WindowStaysOnTopHint);
}

TEST(ButtonChoiceDialog, MarkedLetterPressesItsButton) {
    for (auto [key, result] : {std::pair{Qt::Key_L, 2}, std::pair{Qt::Key_N, 1}, std::pair{Qt::Key_P, 3}}) {
        ButtonChoiceDialog dialog(kRegistrationTitle, kRegistrationNotice,
                                  {kNeverPrintCaption, kPrintLaterCaption, kPrintNowCaption});
        dialog.show();
        QTest::keyClick(dialog.Button(3), key);
        EXPECT_EQ(dialog.result(), result);
        EXPECT_FALSE(dialog.isVisible());
    }
}

}  // namespace
}  // namespace gs
