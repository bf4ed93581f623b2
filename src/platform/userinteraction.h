#pragma once
// Every modal question the program asks, every file dialog, the printer
// dialog, the help window, opened addresses and the wait cursor pass through
// this one interface. The main window uses the Qt implementation; tests
// install a scripted one that answers in order and records each question.
#include <QMessageBox>
#include <QString>

class QDialog;
class QPrinter;
class QWidget;

namespace gs {

// Whether a save dialog asks before it returns the name of an existing file.
// A command that asks its own question about an existing file (the text
// import's Overwrite / Append / Cancel) turns the dialog's question off.
enum class OverwritePrompt { Ask, DontAsk };

class UserInteraction {
public:
    virtual ~UserInteraction() = default;

    virtual QMessageBox::StandardButton Message(QWidget* parent, const QString& title,
                                                const QString& text, QMessageBox::Icon icon,
                                                QMessageBox::StandardButtons buttons = QMessageBox::Ok) = 0;
    // An information note with OK and a "Do not show this again" check box;
    // true when the user ticked it.
    virtual bool NoteWithDontShowAgain(QWidget* parent, const QString& title, const QString& text) = 0;
    // Shows one of the program's own dialogs modally; returns its result code
    // (QDialog::Accepted, QDialog::Rejected, or the value passed to done()).
    virtual int RunModal(QDialog& dialog) = 0;
    // Filters in the "Name|pattern|Name|pattern" form. Empty when cancelled.
    virtual QString OpenFileName(QWidget* parent, const QString& title, const QString& dir,
                                 const QString& filter) = 0;
    // `hidden`, when given, is a file the dialog does not list (the file
    // being saved from, which must not be chosen as its own target).
    virtual QString SaveFileName(QWidget* parent, const QString& title, const QString& dir,
                                 const QString& filter, OverwritePrompt prompt = OverwritePrompt::Ask,
                                 const QString& hidden = {}) = 0;
    // An open dialog that also takes the name of a file that does not exist
    // yet (the caller creates it).
    virtual QString OpenOrNewFileName(QWidget* parent, const QString& title, const QString& dir,
                                      const QString& filter) = 0;
    virtual bool PrinterSetup(QWidget* parent, QPrinter& printer) = 0;
    // The print dialog before a job of several pages (copies, collation,
    // duplex, page range, printer); true when the user chose to print.
    virtual bool PrintDialog(QWidget* parent, QPrinter& printer, const QString& title, int pageCount) = 0;
    // Whether PrintDialog itself asks before it accepts an output file that
    // exists (Qt's print dialog does); otherwise the caller asks.
    virtual bool PrintDialogAsksBeforeReplacing() const { return false; }
    virtual void OpenUrl(const QString& url) = 0;
    virtual void ShowHelp(QWidget* parent, const QString& helpFile) = 0;
    // A dialog that picks an existing folder. Empty when cancelled.
    virtual QString ExistingFolder(QWidget* parent, const QString& title, const QString& dir) = 0;
    virtual void BeginWait() = 0;
    virtual void EndWait() = 0;
};

// The interface in force for this process (the Qt one unless replaced).
UserInteraction& Ui();
// Installs another implementation; nullptr restores the Qt one.
void SetUi(UserInteraction* ui);

// Hourglass for the lifetime of the guard, restored on every path.
class WaitCursor {
public:
    WaitCursor() { Ui().BeginWait(); }
    ~WaitCursor() { Ui().EndWait(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

// "Text files|*.txt|All files|*.*" -> "Text files (*.txt);;All files (*.*)".
QString QtFileFilter(const QString& pipeFilter);

// Makes a message box at least as wide as its title needs (with room for the
// title bar's icon and buttons), so a short text never cuts the title off.
void WidenForTitle(QMessageBox& box);

class QtUserInteraction : public UserInteraction {
public:
    QMessageBox::StandardButton Message(QWidget* parent, const QString& title, const QString& text,
                                        QMessageBox::Icon icon,
                                        QMessageBox::StandardButtons buttons) override;
    bool NoteWithDontShowAgain(QWidget* parent, const QString& title, const QString& text) override;
    int RunModal(QDialog& dialog) override;
    QString OpenFileName(QWidget* parent, const QString& title, const QString& dir,
                         const QString& filter) override;
    QString SaveFileName(QWidget* parent, const QString& title, const QString& dir,
                         const QString& filter, OverwritePrompt prompt = OverwritePrompt::Ask,
                         const QString& hidden = {}) override;
    QString OpenOrNewFileName(QWidget* parent, const QString& title, const QString& dir,
                              const QString& filter) override;
    bool PrinterSetup(QWidget* parent, QPrinter& printer) override;
    bool PrintDialog(QWidget* parent, QPrinter& printer, const QString& title, int pageCount) override;
    bool PrintDialogAsksBeforeReplacing() const override { return true; }
    void OpenUrl(const QString& url) override;
    void ShowHelp(QWidget* parent, const QString& helpFile) override;
    QString ExistingFolder(QWidget* parent, const QString& title, const QString& dir) override;
    void BeginWait() override;
    void EndWait() override;
};

}  // namespace gs
