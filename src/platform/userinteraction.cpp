#include "platform/userinteraction.h"

#include "platform/application.h"
#include "platform/windowplacement.h"

#include <QCheckBox>
#include <QDesktopServices>
#include <QDialog>
#include <QFile>
#include <QFileDialog>
#include <QGuiApplication>
#include <QPrintDialog>
#include <QPrinter>
#include <QTextBrowser>
#include <QUrl>

#include <algorithm>

namespace gs {

namespace {
UserInteraction*& Current() {
    static UserInteraction* ui = nullptr;
    return ui;
}
}  // namespace

UserInteraction& Ui() {
    static QtUserInteraction qt;
    return Current() ? *Current() : qt;
}

void SetUi(UserInteraction* ui) { Current() = ui; }

QString QtFileFilter(const QString& pipeFilter) {
    const QStringList parts = pipeFilter.split('|');
    QStringList out;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString pattern = parts[i + 1];
        pattern.replace(';', ' ');
        out << QStringLiteral("%1 (%2)").arg(parts[i], pattern);
    }
    return out.join(QStringLiteral(";;"));
}

QMessageBox::StandardButton QtUserInteraction::Message(QWidget* parent, const QString& title,
                                                       const QString& text, QMessageBox::Icon icon,
                                                       QMessageBox::StandardButtons buttons) {
    QMessageBox box(icon, title, text, buttons, parent);
    return static_cast<QMessageBox::StandardButton>(box.exec());
}

bool QtUserInteraction::NoteWithDontShowAgain(QWidget* parent, const QString& title, const QString& text) {
    QMessageBox box(QMessageBox::Information, title, text, QMessageBox::Ok, parent);
    auto* dontShow = new QCheckBox("Do not show this again", &box);
    box.setCheckBox(dontShow);
    box.exec();
    return dontShow->isChecked();
}

int QtUserInteraction::RunModal(QDialog& dialog) { return dialog.exec(); }

QString QtUserInteraction::OpenFileName(QWidget* parent, const QString& title, const QString& dir,
                                        const QString& filter) {
    return QFileDialog::getOpenFileName(parent, title, dir, QtFileFilter(filter));
}

QString QtUserInteraction::SaveFileName(QWidget* parent, const QString& title, const QString& dir,
                                        const QString& filter, OverwritePrompt prompt) {
    const QFileDialog::Options options =
        prompt == OverwritePrompt::DontAsk ? QFileDialog::DontConfirmOverwrite : QFileDialog::Options();
    return QFileDialog::getSaveFileName(parent, title, dir, QtFileFilter(filter), nullptr, options);
}

QString QtUserInteraction::OpenOrNewFileName(QWidget* parent, const QString& title, const QString& dir,
                                             const QString& filter) {
    QFileDialog dialog(parent, title, dir, QtFileFilter(filter));
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::AnyFile);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    return dialog.selectedFiles().front();
}

bool QtUserInteraction::PrinterSetup(QWidget* parent, QPrinter& printer) {
    QPrintDialog dialog(&printer, parent);
    dialog.setWindowTitle(QObject::tr("Printer Setup"));
    return dialog.exec() == QDialog::Accepted;
}

bool QtUserInteraction::PrintDialog(QWidget* parent, QPrinter& printer, const QString& title, int pageCount) {
    QPrintDialog dialog(&printer, parent);
    dialog.setWindowTitle(title);
    dialog.setOptions(QAbstractPrintDialog::PrintToFile | QAbstractPrintDialog::PrintCollateCopies |
                      QAbstractPrintDialog::PrintPageRange | QAbstractPrintDialog::PrintShowPageSize);
    dialog.setMinMax(1, std::max(1, pageCount));
    return dialog.exec() == QDialog::Accepted;
}

void QtUserInteraction::OpenUrl(const QString& url) { QDesktopServices::openUrl(QUrl::fromUserInput(url)); }

void QtUserInteraction::ShowHelp(QWidget* parent, const QString& helpFile) {
    // One help window per process, raised again on each request.
    static QTextBrowser* browser = nullptr;
    if (!browser) {
        browser = new QTextBrowser(parent);
        browser->setWindowFlag(Qt::Window);
        browser->setAttribute(Qt::WA_DeleteOnClose);
        browser->setOpenExternalLinks(true);
        browser->resize(640, 520);
        QObject::connect(browser, &QObject::destroyed, [] { browser = nullptr; });
        // Beside the main window, where both can be read; centred on it
        // when the screen has no room. Once open it stays where the user
        // puts it.
        if (parent) PlaceBesideOrCentredOn(*browser, *parent);
    }
    browser->setWindowTitle(ApplicationTitle() + QObject::tr(" Help"));
    browser->setSource(QUrl::fromLocalFile(helpFile), QTextDocument::HtmlResource);
    browser->show();
    browser->raise();
}

QString QtUserInteraction::ExistingFolder(QWidget* parent, const QString& title, const QString& dir) {
    return QFileDialog::getExistingDirectory(parent, title, dir);
}

void QtUserInteraction::BeginWait() { QGuiApplication::setOverrideCursor(Qt::WaitCursor); }
void QtUserInteraction::EndWait() { QGuiApplication::restoreOverrideCursor(); }

}  // namespace gs
