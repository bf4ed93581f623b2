#include "platform/userinteraction.h"

#include "platform/application.h"
#include "platform/windowplacement.h"

#include <QCheckBox>
#include <QDesktopServices>
#include <QDialog>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QGridLayout>
#include <QGuiApplication>
#include <QPrintDialog>
#include <QPrinter>
#include <QSortFilterProxyModel>
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
    WidenForTitle(box);
    return static_cast<QMessageBox::StandardButton>(box.exec());
}

void WidenForTitle(QMessageBox& box) {
    constexpr int kTitleBarRoom = 140;  // the window icon and the close button beside the title
    const int need = box.fontMetrics().horizontalAdvance(box.windowTitle()) + kTitleBarRoom;
    auto* grid = qobject_cast<QGridLayout*>(box.layout());
    if (!grid) return;
    // A message box sizes itself from its layout, so the room goes in there.
    grid->addItem(new QSpacerItem(need, 0, QSizePolicy::Minimum, QSizePolicy::Fixed), grid->rowCount(), 0, 1,
                  grid->columnCount());
}

bool QtUserInteraction::NoteWithDontShowAgain(QWidget* parent, const QString& title, const QString& text) {
    QMessageBox box(QMessageBox::Information, title, text, QMessageBox::Ok, parent);
    auto* dontShow = new QCheckBox("Do not show this again", &box);
    box.setCheckBox(dontShow);
    WidenForTitle(box);
    box.exec();
    return dontShow->isChecked();
}

int QtUserInteraction::RunModal(QDialog& dialog) { return dialog.exec(); }

QString QtUserInteraction::OpenFileName(QWidget* parent, const QString& title, const QString& dir,
                                        const QString& filter) {
    return QFileDialog::getOpenFileName(parent, title, dir, QtFileFilter(filter));
}

namespace {

// Lists every file of the dialog's folder but one.
class HideOneFile : public QSortFilterProxyModel {
public:
    explicit HideOneFile(const QString& file, QObject* parent)
        : QSortFilterProxyModel(parent), file_(QFileInfo(file).absoluteFilePath()) {}

protected:
    bool filterAcceptsRow(int row, const QModelIndex& parent) const override {
        const auto* files = qobject_cast<const QFileSystemModel*>(sourceModel());
        if (!files) return true;
        return QFileInfo(files->filePath(files->index(row, 0, parent))).absoluteFilePath() != file_;
    }

private:
    QString file_;
};

}  // namespace

QString QtUserInteraction::SaveFileName(QWidget* parent, const QString& title, const QString& dir,
                                        const QString& filter, OverwritePrompt prompt, const QString& hidden) {
    QFileDialog::Options options =
        prompt == OverwritePrompt::DontAsk ? QFileDialog::DontConfirmOverwrite : QFileDialog::Options();
    if (hidden.isEmpty()) return QFileDialog::getSaveFileName(parent, title, dir, QtFileFilter(filter), nullptr, options);
    // A system's own dialog cannot leave a file out: Qt's dialog can.
    QFileDialog dialog(parent, title, dir, QtFileFilter(filter));
    dialog.setOptions(options | QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setProxyModel(new HideOneFile(hidden, &dialog));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    return dialog.selectedFiles().front();
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
