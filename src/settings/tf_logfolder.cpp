#include "settings/tf_logfolder.h"

#include "platform/userinteraction.h"
#include "platform/windowplacement.h"
#include "settings/settings.h"

#include <QDir>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace gs {

namespace {

const char* kTitle = "Mail Log Folder";

// Folders are compared and stored without a trailing "/".
QString Cleaned(const QString& folder) {
    QString f = folder.trimmed();
    if (f == "~" || f.startsWith("~/")) f = QDir::homePath() + f.mid(1);
    return f.isEmpty() ? f : QDir::cleanPath(f);
}

// A path has no spaces to wrap at; a zero-width space after each "/" lets a
// long one wrap between its folders.
QString Wrappable(QString path) { return path.replace('/', QStringLiteral("/\u200B")); }

}  // namespace

TF_LogFolder::TF_LogFolder(Settings& settings, const std::string& defaultFolder, QWidget* parent)
    : QDialog(parent), settings_(settings), defaultFolder_(defaultFolder) {
    setObjectName("TF_LogFolder");
    setWindowTitle(kTitle);
    setFixedSize(420, 180);

    lblInfo = new QLabel(
        "Greenslip keeps the mail log (report3.dbf) in this folder. Several computers can keep one log "
        "together in a folder on a file server; the share must support byte-range locks (SMB with POSIX "
        "locks, or NFSv4).",
        this);
    lblInfo->setObjectName("lblInfo");
    lblInfo->setWordWrap(true);
    lblInfo->setGeometry(8, 8, 404, 62);

    lblFolder = new QLabel("&Folder:", this);
    lblFolder->setObjectName("lblFolder");
    lblFolder->setGeometry(8, 80, 50, 22);
    editFolder = new QLineEdit(this);
    editFolder->setObjectName("editFolder");
    editFolder->setGeometry(60, 80, 270, 22);
    lblFolder->setBuddy(editFolder);
    btnBrowse = new QPushButton("&Browse...", this);
    btnBrowse->setObjectName("btnBrowse");
    btnBrowse->setGeometry(336, 79, 76, 25);

    lblDefault = new QLabel(Wrappable("Default: " + QString::fromStdString(defaultFolder_)), this);
    lblDefault->setObjectName("lblDefault");
    lblDefault->setTextFormat(Qt::PlainText);
    lblDefault->setWordWrap(true);
    lblDefault->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    lblDefault->setGeometry(60, 108, 352, 32);

    btnDefault = new QPushButton("&Default", this);
    btnDefault->setObjectName("btnDefault");
    btnDefault->setGeometry(8, 147, 75, 25);
    btnOK = new QPushButton("OK", this);
    btnOK->setObjectName("btnOK");
    btnOK->setGeometry(256, 147, 75, 25);
    btnOK->setDefault(true);
    btnCancel = new QPushButton("Cancel", this);
    btnCancel->setObjectName("btnCancel");
    btnCancel->setGeometry(337, 147, 75, 25);

    connect(btnBrowse, &QPushButton::clicked, this, &TF_LogFolder::btnBrowseClick);
    connect(btnDefault, &QPushButton::clicked, this, &TF_LogFolder::btnDefaultClick);
    connect(btnOK, &QPushButton::clicked, this, &TF_LogFolder::btnOKClick);
    connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);

    const std::string& inUse = settings_.ReportsDir.empty() ? defaultFolder_ : settings_.ReportsDir;
    editFolder->setText(Cleaned(QString::fromStdString(inUse)));
}

void TF_LogFolder::btnBrowseClick() {
    const QString chosen = Ui().ExistingFolder(this, kTitle, Cleaned(editFolder->text()));
    if (!chosen.isEmpty()) editFolder->setText(Cleaned(chosen));
}

void TF_LogFolder::btnDefaultClick() { editFolder->setText(Cleaned(QString::fromStdString(defaultFolder_))); }

void TF_LogFolder::btnOKClick() {
    const QString folder = Cleaned(editFolder->text());
    if (folder.isEmpty() || folder == Cleaned(QString::fromStdString(defaultFolder_))) {
        settings_.ReportsDir.clear();
        accept();
        return;
    }
    auto refuse = [this](const QString& why) {
        Ui().Message(this, kTitle, why, QMessageBox::Critical, QMessageBox::Ok);
        editFolder->setFocus();
    };
    if (QDir::isRelativePath(folder))
        return refuse("Please enter the full path of the folder, beginning with \"/\".");
    const QFileInfo info(folder);
    if (!info.exists()) {
        if (Ui().Message(this, kTitle, "The folder \"" + folder + "\" does not exist.\nCreate it?",
                         QMessageBox::Question, QMessageBox::Yes | QMessageBox::No) != QMessageBox::Yes)
            return;
        if (!QDir().mkpath(folder)) return refuse("The folder \"" + folder + "\" could not be created.");
    } else if (!info.isDir()) {
        return refuse("\"" + folder + "\" is not a folder.");
    }
    if (!QFileInfo(folder).isWritable())
        return refuse("The mail log cannot be written in \"" + folder + "\": you may not write in that folder.");
    settings_.ReportsDir = folder.toStdString();
    accept();
}

void TF_LogFolder::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        reject();
        return;
    }
    QDialog::keyPressEvent(event);
}

void TF_LogFolder::showEvent(QShowEvent* event) {
    CentreOnScreen(*this);
    QDialog::showEvent(event);
}

bool ChooseLogFolder(Settings& settings, const std::string& defaultFolder, QWidget* parent) {
    TF_LogFolder dialog(settings, defaultFolder, parent);
    return Ui().RunModal(dialog) == QDialog::Accepted;
}

}  // namespace gs
