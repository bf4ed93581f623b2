#pragma once
// Options > Print Options > "Printer &Alignment": the two alignment offsets,
// in steps of three printer pixels.
#include <QDialog>

class QGroupBox;
class QLabel;
class QPushButton;
class QSpinBox;

namespace gs {

struct Settings;

class TF_Align : public QDialog {
    Q_OBJECT
public:
    TF_Align(Settings& settings, QWidget* parent = nullptr);

    QGroupBox* GroupBox1;
    QLabel* Label1;       // the explanation
    QLabel* Label2;       // "Left & Right"
    QLabel* Label3;       // "Up and Down"
    QSpinBox* spinLeftRight;
    QSpinBox* SpinUpDown;
    QPushButton* btnOK;
    QPushButton* btnCancel;

public slots:
    void btnOKClick();

protected:
    void showEvent(QShowEvent* event) override;

private:
    Settings& settings_;
};

}  // namespace gs
