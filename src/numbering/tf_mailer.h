#pragma once
// The mailer-number dialog: the customer ID and identifier serial number in
// barcode mode, the 20-digit number of the next form and the count direction
// in pre-printed mode; in either mode, while the form's ZIP barcodes are
// Intelligent Mail barcodes, their tracking fields below (the window is then
// taller, and Help explains them too). OK writes the fields into the
// settings; Cancel, Esc and the close box change nothing.
#include <QDialog>

#include "settings/settings.h"

class QButtonGroup;
class QCheckBox;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace gs {

class ImbTrackingBox;
class ImpbFieldsBox;

class TF_Mailer : public QDialog {
    Q_OBJECT
public:
    // showDontShowBox: the print commands show "Do not show this screen
    // again" (the window is then 32 pixels taller); other callers do not.
    TF_Mailer(Settings& settings, bool& showMailerScreen, bool showDontShowBox,
              QWidget* parent = nullptr);

    QGroupBox* gbPrintBarcode;
    QLabel* lblCustID;
    QLineEdit* editCustID;
    QLabel* lblSerialNum;
    QLineEdit* editSerialNum;
    QGroupBox* gbNoBarCode;
    QLabel* lblMailerNum;
    QLineEdit* editMailerNum;
    QGroupBox* rgCountType;
    QCheckBox* cbDontShow;
    QPushButton* btnOK;
    QPushButton* btnCancel;
    QPushButton* btnHelp;
    QFrame* panelBarCode;
    QLabel* LabelDnB;
    QFrame* panelMailerNum;
    QPlainTextEdit* memoCountHelp;
    ImbTrackingBox* gbIMb;  // shown with the Intelligent Mail barcode
    QFrame* panelIMb;
    ImpbFieldsBox* gbIMpb;  // shown in barcode mode with the IMpb number
    QFrame* panelIMpb;

    // 0 "Increment", 1 "Decrement".
    int CountTypeIndex() const;
    void SetCountTypeIndex(int index);

public slots:
    void btnOKClick();
    void btnHelpClick();
    void LabelDnBClick();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void FormCreate();
    void BuildBarcodeHelp();
    void BuildMailerNumHelp();
    // A field the user edited and left with an empty position takes the
    // focus back and reports invalid input. True when it did so.
    bool RefuseIfIncomplete(QLineEdit* edit);

    Settings& settings_;
    bool& showMailerScreen_;
    bool showDontShowBox_;
    bool imb_;
    bool impb_;
    int baseHeight_;  // the window's height without the check box and the help
    QButtonGroup* countType_;
};

// Options > "&Mailer Number": steps the number so the dialog shows the one
// the next piece will carry, shows the dialog without its check box, and on
// OK steps back so the next print lands exactly on the number entered; on
// Cancel restores what was there. An ArticleNumberError from the step
// propagates, with the settings unchanged.
void MailerNumberCommand(Settings& settings, bool& showMailerScreen, QWidget* parent);

}  // namespace gs
