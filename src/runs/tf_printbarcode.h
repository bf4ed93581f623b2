#pragma once
// File > "Print &Bar Codes": the customer ID, the starting identifier serial
// number and how many blank forms to pre-print the bar codes on. OK stores
// the three as the current values (the count, then the serial, then the
// customer ID, each as its field reads); Cancel, Esc and the close box store
// nothing.
#include <QDialog>
#include <QPointer>

class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;

namespace gs {

struct Settings;

class TF_PrintBarCode : public QDialog {
    Q_OBJECT
public:
    explicit TF_PrintBarCode(Settings& settings, QWidget* parent = nullptr);
    ~TF_PrintBarCode() override;

    QLabel* lblExplanation;
    QLabel* lblCustID;
    QLineEdit* editCustID;
    QLabel* lblSerialNum;
    QLineEdit* editSerialNum;
    QLabel* lblNumLabels;
    QSpinBox* editNumLabels;
    QPushButton* btnOK;
    QPushButton* btnCancel;
    QPushButton* btnHelp;
    QFrame* panelBarCode;
    QLabel* LabelDnB;

    // The number of labels OK stored; 0 until then.
    int NumLabels() const { return numLabels_; }

public slots:
    void btnOKClick();
    void btnHelpClick();
    void LabelDnBClick();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildHelpPanel();

    Settings& settings_;
    int numLabels_ = 0;
    QPointer<QWidget> beforeHelp_;  // where the focus was when Help took it
    QMetaObject::Connection focusWatch_;
};

}  // namespace gs
