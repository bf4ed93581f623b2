#include "platform/scripteduserinteraction.h"

#include <QCoreApplication>
#include <QDialog>

namespace gs {

QMessageBox::StandardButton ScriptedUserInteraction::Message(QWidget*, const QString& title,
                                                             const QString& text, QMessageBox::Icon icon,
                                                             QMessageBox::StandardButtons buttons) {
    asked.push_back({"message", title, text, icon});
    if (!messageAnswers.empty()) {
        const auto a = messageAnswers.front();
        messageAnswers.pop_front();
        return a;
    }
    for (unsigned bit = 1; bit; bit <<= 1)
        if (buttons & bit) return static_cast<QMessageBox::StandardButton>(bit);
    return QMessageBox::Ok;
}

bool ScriptedUserInteraction::NoteWithDontShowAgain(QWidget*, const QString& title, const QString& text) {
    asked.push_back({"note", title, text, QMessageBox::Information});
    if (dontShowAgainAnswers.empty()) return false;
    const bool ticked = dontShowAgainAnswers.front();
    dontShowAgainAnswers.pop_front();
    return ticked;
}

int ScriptedUserInteraction::RunModal(QDialog& dialog) {
    asked.push_back({"dialog", QString::fromLatin1(dialog.metaObject()->className()), dialog.windowTitle(),
                     QMessageBox::NoIcon});
    dialog.setResult(QDialog::Rejected);
    dialog.show();
    QCoreApplication::processEvents();
    if (!dialogAnswers.empty()) {
        auto answer = std::move(dialogAnswers.front());
        dialogAnswers.pop_front();
        answer(dialog);
        QCoreApplication::processEvents();
    }
    if (dialog.isVisible()) dialog.reject();
    return dialog.result();
}

QString ScriptedUserInteraction::OpenFileName(QWidget*, const QString& title, const QString& dir,
                                              const QString&) {
    asked.push_back({"open", title, dir, QMessageBox::NoIcon});
    if (fileAnswers.empty()) return {};
    auto a = fileAnswers.front();
    fileAnswers.pop_front();
    return a;
}

QString ScriptedUserInteraction::OpenOrNewFileName(QWidget* parent, const QString& title, const QString& dir,
                                                   const QString& filter) {
    return OpenFileName(parent, title, dir, filter);
}

QString ScriptedUserInteraction::SaveFileName(QWidget*, const QString& title, const QString& dir,
                                              const QString&, OverwritePrompt prompt, const QString& hidden) {
    asked.push_back({"save", title, dir, QMessageBox::NoIcon, prompt, hidden});
    if (fileAnswers.empty()) return {};
    auto a = fileAnswers.front();
    fileAnswers.pop_front();
    return a;
}

bool ScriptedUserInteraction::PrinterSetup(QWidget*, QPrinter& printer) {
    asked.push_back({"printer", {}, {}, QMessageBox::NoIcon});
    if (!printerSetupChanges.empty()) {
        printerSetupChanges.front()(printer);
        printerSetupChanges.pop_front();
    }
    if (printerSetupAnswers.empty()) return false;
    const bool a = printerSetupAnswers.front();
    printerSetupAnswers.pop_front();
    return a;
}

bool ScriptedUserInteraction::PrintDialog(QWidget*, QPrinter& printer, const QString& title, int pageCount) {
    asked.push_back({"print", title, QString::number(pageCount), QMessageBox::NoIcon});
    if (printDialogAnswers.empty()) return false;
    auto answer = std::move(printDialogAnswers.front());
    printDialogAnswers.pop_front();
    return answer(printer);
}

void ScriptedUserInteraction::OpenUrl(const QString& url) {
    asked.push_back({"url", {}, url, QMessageBox::NoIcon});
}

void ScriptedUserInteraction::ShowHelp(QWidget*, const QString& helpFile) {
    asked.push_back({"help", {}, helpFile, QMessageBox::NoIcon});
}

QString ScriptedUserInteraction::ExistingFolder(QWidget*, const QString& title, const QString& dir) {
    asked.push_back({"folder", title, dir, QMessageBox::NoIcon});
    if (fileAnswers.empty()) return {};
    auto a = fileAnswers.front();
    fileAnswers.pop_front();
    return a;
}

void ScriptedUserInteraction::BeginWait() {
    ++waitDepth;
    ++waitCount;
}

void ScriptedUserInteraction::EndWait() { --waitDepth; }

QStringList ScriptedUserInteraction::Trail() const {
    QStringList out;
    for (const auto& a : asked) out << (a.kind == "dialog" ? "dialog:" + a.title : a.kind);
    return out;
}

}  // namespace gs
