#include "platform/qtext.h"
#include "platform/scripteduserinteraction.h"
#include "platform/windowplacement.h"

#include <QApplication>
#include <QDialog>
#include <QMessageBox>
#include <QGuiApplication>
#include <QPushButton>
#include <QScreen>
#include <QTextBrowser>
#include <gtest/gtest.h>

namespace gs {
namespace {

TEST(QtText, CrossesBetweenAnsiAndUnicode) {
    EXPECT_EQ(FromAnsi("Caf\xE9 \x80"), QString::fromUtf8("Café €"));
    EXPECT_EQ(ToAnsi(QString::fromUtf8("Café € 中")), "Caf\xE9 \x80 ?");
}

TEST(FileFilter, PipeFormBecomesQtForm) {
    EXPECT_EQ(QtFileFilter("Text files (*.txt)|*.txt|All files|*.*"),
              "Text files (*.txt) (*.txt);;All files (*.*)");
    EXPECT_EQ(QtFileFilter("dBase|*.dbf;*.DBF"), "dBase (*.dbf *.DBF)");
}

TEST(ScriptedUi, AnswersInOrderAndRecords) {
    ScopedScriptedUi scripted;
    scripted.ui.messageAnswers.push_back(QMessageBox::No);
    EXPECT_EQ(Ui().Message(nullptr, "T", "Q?", QMessageBox::Question, QMessageBox::Yes | QMessageBox::No),
              QMessageBox::No);
    EXPECT_EQ(Ui().Message(nullptr, "T", "Q?", QMessageBox::Question, QMessageBox::Yes | QMessageBox::No),
              QMessageBox::Yes);  // empty queue: first button

    QDialog dialog;
    auto* ok = new QPushButton("OK", &dialog);
    QObject::connect(ok, &QPushButton::clicked, &dialog, &QDialog::accept);
    scripted.ui.dialogAnswers.push_back([](QDialog& d) { d.findChild<QPushButton*>()->click(); });
    EXPECT_EQ(Ui().RunModal(dialog), QDialog::Accepted);
    EXPECT_EQ(Ui().RunModal(dialog), QDialog::Rejected);  // no answer: rejected
    {
        WaitCursor wait;
        EXPECT_EQ(scripted.ui.waitDepth, 1);
    }
    EXPECT_EQ(scripted.ui.waitDepth, 0);
    EXPECT_EQ(scripted.ui.Trail(), QStringList({"message", "message", "dialog:QDialog", "dialog:QDialog"}));
}

// A short text ("Import Done.") under a long title: the box is as wide as
// the title needs, so the title is not cut off.
TEST(MessageBox, IsWideEnoughForItsTitle) {
    const QString title = "Greenslip Certified Mail Forms - Quorvale Office Supply";
    QMessageBox box(QMessageBox::Information, title, "Import Done.", QMessageBox::Ok);
    WidenForTitle(box);
    box.show();
    QApplication::processEvents();
    EXPECT_GE(box.width(), box.fontMetrics().horizontalAdvance(title) + 100);
}

TEST(HelpWindow, OpensCentredOnTheMainWindowWhenNoRoomBesideIt) {
    QtUserInteraction qt;
    QWidget main;
    const QRect free = QGuiApplication::primaryScreen()->availableGeometry();
    main.resize(free.width() / 2, free.height() / 2);
    CentreOnScreen(main);
    main.show();
    qt.ShowHelp(&main, "/nonexistent/Gslip3.hlp");
    auto* help = main.findChild<QTextBrowser*>();
    ASSERT_NE(help, nullptr);
    EXPECT_EQ(help->windowTitle(), "Greenslip Help");
    const QRect at = help->frameGeometry();
    EXPECT_TRUE(free.contains(at)) << at.x() << "," << at.y();
    // The main window is too wide for the help window to stand beside it.
    // Its frame is not known before it is shown, hence a few pixels' play.
    EXPECT_LE((at.center() - main.frameGeometry().center()).manhattanLength(), 8);
    delete help;
}

TEST(HelpWindow, OpensBesideASmallMainWindow) {
    QtUserInteraction qt;
    QWidget main;
    const QRect free = QGuiApplication::primaryScreen()->availableGeometry();
    main.setGeometry(free.left(), free.top(), 100, 100);
    main.show();
    qt.ShowHelp(&main, "/nonexistent/Gslip3.hlp");
    auto* help = main.findChild<QTextBrowser*>();
    ASSERT_NE(help, nullptr);
    EXPECT_GT(help->frameGeometry().left(), main.frameGeometry().right());
    EXPECT_EQ(help->frameGeometry().top(), main.frameGeometry().top());
    delete help;
}

}  // namespace
}  // namespace gs
