#pragma once
// A UserInteraction for tests: answers every question from queues filled by
// the test, in order, and records what was asked.
#include "platform/userinteraction.h"

#include <deque>
#include <functional>
#include <vector>

namespace gs {

class ScriptedUserInteraction : public UserInteraction {
public:
    struct Asked {
        QString kind;   // "message", "note", "dialog", "open", "save", "folder", "printer", "print", "url", "help"
        QString title;  // window title, or the dialog's class name
        QString text;   // message text, URL or help file; a print dialog: the page count
        QMessageBox::Icon icon = QMessageBox::NoIcon;
        OverwritePrompt prompt = OverwritePrompt::Ask;  // save dialogs
        QString hidden = {};                            // save dialogs: the file not listed
    };

    // Answers, consumed front to back. An empty queue answers a message with
    // its first button, a dialog with Rejected, a file dialog with "".
    std::deque<QMessageBox::StandardButton> messageAnswers;
    // A dialog answer works on the shown dialog (fills fields, clicks a
    // button). If the dialog is still open afterwards it is rejected.
    std::deque<std::function<void(QDialog&)>> dialogAnswers;
    std::deque<QString> fileAnswers;
    std::deque<bool> printerSetupAnswers;
    // What the user changes in the printer dialog, applied before its answer.
    std::deque<std::function<void(QPrinter&)>> printerSetupChanges;
    // A print-dialog answer may set up the printer (a PDF file, copies, a
    // page range) and returns whether to print. An empty queue cancels.
    std::deque<std::function<bool(QPrinter&)>> printDialogAnswers;
    // Whether "Do not show this again" is ticked under a note. An empty
    // queue leaves it unticked.
    std::deque<bool> dontShowAgainAnswers;

    std::vector<Asked> asked;
    int waitDepth = 0;       // current nesting of wait cursors
    int waitCount = 0;       // how many times a wait cursor was shown

    QMessageBox::StandardButton Message(QWidget* parent, const QString& title, const QString& text,
                                        QMessageBox::Icon icon,
                                        QMessageBox::StandardButtons buttons) override;
    // Asked as "note", with the information icon.
    bool NoteWithDontShowAgain(QWidget* parent, const QString& title, const QString& text) override;
    int RunModal(QDialog& dialog) override;
    QString OpenFileName(QWidget* parent, const QString& title, const QString& dir,
                         const QString& filter) override;
    QString SaveFileName(QWidget* parent, const QString& title, const QString& dir,
                         const QString& filter, OverwritePrompt prompt = OverwritePrompt::Ask,
                         const QString& hidden = {}) override;
    // Asked as "open", answered from fileAnswers.
    QString OpenOrNewFileName(QWidget* parent, const QString& title, const QString& dir,
                              const QString& filter) override;
    bool PrinterSetup(QWidget* parent, QPrinter& printer) override;
    bool PrintDialog(QWidget* parent, QPrinter& printer, const QString& title, int pageCount) override;
    void OpenUrl(const QString& url) override;
    void ShowHelp(QWidget* parent, const QString& helpFile) override;
    // Asked as "folder" (text: the folder it opens in), answered from fileAnswers.
    QString ExistingFolder(QWidget* parent, const QString& title, const QString& dir) override;
    void BeginWait() override;
    void EndWait() override;

    // The kinds asked so far, e.g. {"dialog:TF_YourAddress", "message"}.
    QStringList Trail() const;
};

// Installs a scripted interaction for the lifetime of the guard.
class ScopedScriptedUi {
public:
    ScopedScriptedUi() { SetUi(&ui); }
    ~ScopedScriptedUi() { SetUi(nullptr); }
    ScriptedUserInteraction ui;
};

}  // namespace gs
