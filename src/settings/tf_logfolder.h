#pragma once
// "Mail Log Folder": where the mail log (report3.dbf) is kept. The default
// is the "Reports" folder among the program's own files; another folder, on
// a file server say, lets several computers keep one log together.
#include <QDialog>
#include <string>

class QLabel;
class QLineEdit;
class QPushButton;

namespace gs {

struct Settings;

class TF_LogFolder : public QDialog {
    Q_OBJECT
public:
    // defaultFolder: the log's folder when none is set (ending in "/").
    TF_LogFolder(Settings& settings, const std::string& defaultFolder, QWidget* parent = nullptr);

    QLabel* lblInfo;
    QLabel* lblFolder;
    QLineEdit* editFolder;
    QPushButton* btnBrowse;
    QLabel* lblDefault;
    QPushButton* btnDefault;
    QPushButton* btnOK;
    QPushButton* btnCancel;

public slots:
    void btnBrowseClick();
    void btnDefaultClick();
    // Stores the folder and closes, or says why the folder cannot hold the
    // log and stays open. The default folder is stored as no folder at all
    // ("Reports" left empty), so it follows the program wherever it goes.
    // A missing folder is created when the user agrees.
    void btnOKClick();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    Settings& settings_;
    std::string defaultFolder_;
};

// Options > "Mail &Log Folder": the dialog, modally. True when it ended with
// OK (Settings.ReportsDir then holds the folder, empty for the default).
bool ChooseLogFolder(Settings& settings, const std::string& defaultFolder, QWidget* parent);

}  // namespace gs
