// Select-all on keyboard focus, set up for every window by the test main as
// by the program's own.
#include "platform/maskedit.h"

#include <QApplication>
#include <QDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>
#include <QVBoxLayout>
#include <gtest/gtest.h>

namespace gs {
namespace {

struct Form {
    Form() {
        auto* layout = new QVBoxLayout(&window);
        first->setText("0.39");
        zip->setText("12345-6789");
        spin->setRange(-999, 999);
        spin->setValue(-25);
        for (QWidget* w : std::initializer_list<QWidget*>{first, zip, spin, button}) layout->addWidget(w);
        SetFormMask(*zip, "99999\\-9999;1;_");
        zip->setText("12345-6789");
    }
    void Show() {
        window.show();
        window.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
        QApplication::processEvents();
    }
    QWidget window;
    QLineEdit* first = new QLineEdit;
    QLineEdit* zip = new QLineEdit;
    QSpinBox* spin = new QSpinBox;
    QPushButton* button = new QPushButton("OK");
};

TEST(SelectAllOnFocus, TheStartUpFocusSelectsSoTypingReplacesTheValue) {
    Form form;
    form.first->setFocus();
    // Under X11 the window itself takes the focus before its control does.
    QFocusEvent windowFocus(QEvent::FocusIn, Qt::TabFocusReason);
    QApplication::sendEvent(&form.window, &windowFocus);
    form.Show();
    EXPECT_EQ(form.first->selectedText(), "0.39");
    QTest::keyClicks(form.first, "0.44");
    EXPECT_EQ(form.first->text(), "0.44");
}

TEST(SelectAllOnFocus, TabAndShiftTabSelectEveryKindOfField) {
    Form form;
    form.button->setFocus();
    form.Show();
    for (QWidget* target : std::initializer_list<QWidget*>{form.first, form.zip, form.spin}) {
        SCOPED_TRACE(target->metaObject()->className());
        form.button->setFocus(Qt::MouseFocusReason);
        QApplication::processEvents();
        // Tab from the button moves to the first field; reach the others from the field before them.
        QWidget* before = target == form.first ? form.button : target->previousInFocusChain();
        before->setFocus(Qt::MouseFocusReason);
        QApplication::processEvents();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QApplication::processEvents();
        ASSERT_EQ(QApplication::focusWidget(), target);
        if (target == form.spin) EXPECT_EQ(form.spin->findChild<QLineEdit*>()->selectedText(), "-25");
        else EXPECT_EQ(static_cast<QLineEdit*>(target)->selectedText(), static_cast<QLineEdit*>(target)->text());
    }
    // Shift+Tab back from the spin box lands on the masked ZIP, all selected:
    // a digit typed now starts the ZIP afresh.
    QTest::keyClick(form.spin, Qt::Key_Backtab);
    QApplication::processEvents();
    ASSERT_EQ(QApplication::focusWidget(), form.zip);
    EXPECT_EQ(form.zip->selectedText(), "12345-6789");
    QTest::keyClicks(form.zip, "9");
    EXPECT_EQ(MaskedText(*form.zip), "9    -    ");
}

TEST(SelectAllOnFocus, AMouseClickPlacesTheCursorAndComingBackKeepsIt) {
    Form form;
    form.button->setFocus();
    form.Show();
    QTest::mouseClick(form.first, Qt::LeftButton, {}, QPoint(2, form.first->height() / 2));
    QApplication::processEvents();
    ASSERT_TRUE(form.first->hasFocus());
    EXPECT_FALSE(form.first->hasSelectedText());
    EXPECT_EQ(form.first->cursorPosition(), 0);

    // Another window in between, then back: the cursor stays where it was.
    QWidget other;
    other.show();
    other.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&other));
    form.window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form.window));
    QApplication::processEvents();
    ASSERT_TRUE(form.first->hasFocus());
    EXPECT_FALSE(form.first->hasSelectedText());
}

TEST(SelectAllOnFocus, ADialogOpensWithTheFieldItChoseSelected) {
    // A dialog announces the focus to its chosen field while it is being
    // shown, before its window is active: that is not yet the first focus.
    QDialog dialog;
    auto* layout = new QVBoxLayout(&dialog);
    auto* other = new QLineEdit("12-345-6789");
    auto* serial = new QLineEdit;
    SetFormMask(*serial, "00000000;1;_");
    serial->setText("00000042");
    layout->addWidget(other);
    layout->addWidget(serial);
    serial->setFocus();
    dialog.show();
    dialog.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
    QApplication::processEvents();
    ASSERT_TRUE(serial->hasFocus());
    EXPECT_EQ(serial->selectedText(), "00000042");
}

}  // namespace
}  // namespace gs
