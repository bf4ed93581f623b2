#include "platform/qtext.h"
#include "platform/scripteduserinteraction.h"

#include <QDialog>
#include <QPushButton>
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

}  // namespace
}  // namespace gs
