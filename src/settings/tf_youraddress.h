#pragma once
// "Your Name and Address": edits the sender lines, city, state and ZIP.
#include <QDialog>

class QGroupBox;
class QLineEdit;
class QPushButton;

namespace gs {

class AddressMemo;
struct Settings;

class TF_YourAddress : public QDialog {
    Q_OBJECT
public:
    explicit TF_YourAddress(Settings& settings, QWidget* parent = nullptr);
    ~TF_YourAddress() override;

    QGroupBox* GroupBox4;
    AddressMemo* memoYourAddress;
    QLineEdit* editYourCity;
    QLineEdit* editYourState;
    QLineEdit* editYourZip;
    QPushButton* btnOK;
    QPushButton* btnCancel;

public slots:
    void FormCreate();
    void memoYourAddressChange();
    void memoYourAddressExit();
    void btnOKClick();
    void btnCancelClick();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    Settings& settings_;
};

// Opens the dialog modally; true when it ended with OK (the settings then
// hold what was entered).
bool EditSenderAddress(Settings& settings, QWidget* parent);

}  // namespace gs
