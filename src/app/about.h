#pragma once
// The splash window and the About box are one window class.
#include <QDeadlineTimer>
#include <QDialog>
#include <QTimer>
#include <string>

class QFrame;
class QLabel;
class QPushButton;

namespace gs {

struct DataFolders;

// "Version " + the first three dot-separated parts of the file version, with
// their dots: 3.0.0.0 -> "Version 3.0.0"; 3.5.2 -> "Version 3.5."; no
// version at all -> "Version 3.0".
QString VersionLabelText(const std::string& fileVersion);

// The files and folders in use, one line each, as the About box lists them:
// the settings file (settingsFile), the program folder, or the installed
// data and the user's own files; then the mail log's folder (logFolder).
QStringList FoldersInUseLines(const DataFolders& folders, const std::string& settingsFile,
                              const std::string& logFolder);

class TF_About : public QDialog {
    Q_OBJECT
public:
    // splashMode 1: the start-up splash; 0: the About box. company chooses
    // the branding texts; logoFile is the reseller's logo ("Scr_logo.bmp").
    TF_About(int splashMode, const std::string& logoFile, const std::string& company,
             QWidget* parent = nullptr);

    // Lines listed below the contact texts of the About box (see
    // FoldersInUseLines); set before the box is shown. The splash lists none.
    void SetFoldersInUse(const QStringList& lines);

    int SplashMode;
    QFrame* panelMain;
    QLabel* Image1;
    QLabel* imageCompany;
    QFrame* panelInfo;
    QLabel* labelStreet;
    QLabel* labelCity;
    QLabel* labelWebSite;
    QLabel* labelEMail;
    QLabel* labelVersion;
    QLabel* labelCopyright;
    QLabel* labelFolders;
    QPushButton* btnOK;
    // 3000 ms in splash mode; Timer1Timer disables it once the splash has
    // been up that long.
    QTimer Timer1;

public slots:
    void FormShow();
    void Timer1Timer();
    void labelWebSiteClick();
    void labelEMailClick();

protected:
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void ShowFolders();

    std::string logoFile_;
    std::string company_;
    QStringList folders_;
    bool shown_ = false;
    QFrame* border_;
    QDeadlineTimer splashUntil_;  // the splash stays up at least until then
};

// The product logo strip and the maker's logo, drawn rather than shipped.
QPixmap ProductLogo(QSize size);
QPixmap MakerLogo(QSize size);

}  // namespace gs
