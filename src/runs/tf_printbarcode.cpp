#include "runs/tf_printbarcode.h"

#include "numbering/dialogparts.h"
#include "numbering/impbnumber.h"
#include "platform/maskedit.h"
#include "platform/qtext.h"
#include "platform/userinteraction.h"
#include "platform/windowplacement.h"
#include "settings/settings.h"

#include <QApplication>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>

namespace gs {

namespace {

constexpr int kWidth = 377;
constexpr int kHeight = 233;
constexpr int kHeightWithHelp = 383;

const char* const kCustIdHint = "Click on \"Help\" for information on the Customer ID";
const char* const kSerialHint = "Click on \"Help\" for information on the Identifier Serial Number";
const char* const kNumLabelsHint =
    "Click on \"Help\" for information on the numbers the labels will carry";

// The spin field takes one typed character; the arrows reach the rest of
// its range (up to 1000), and what they reach is shown whole. The keys
// reach the spin box, which hands them to its edit directly.
class OneTypedCharacter : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::KeyPress) return false;
        const QString typed = static_cast<QKeyEvent*>(event)->text();
        if (typed.isEmpty() || !typed.at(0).isPrint()) return false;
        const auto* edit = static_cast<QWidget*>(watched)->findChild<QLineEdit*>();
        return edit && edit->text().size() - edit->selectedText().size() + typed.size() > 1;
    }
};

}  // namespace

TF_PrintBarCode::TF_PrintBarCode(Settings& settings, QWidget* parent) : QDialog(parent), settings_(settings) {
    setObjectName("F_PrintBarCode");
    setWindowTitle("Print Bar Code's");
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowCloseButtonHint);

    lblExplanation = TextLabel("Please enter the starting Identifier Serial Number, and how many labels you will be "
                               "printing Bar Code's on.",
                               this, false, true);
    lblExplanation->setObjectName("lblExplanation");
    lblExplanation->setGeometry(12, 8, 353, 34);

    lblCustID = TextLabel("Customer ID (DUNS #)", this);
    lblCustID->setObjectName("lblCustID");
    lblCustID->setToolTip(kCustIdHint);
    lblCustID->setGeometry(16, 50, 220, 16);
    editCustID = MaskedEdit("editCustID", "00-000-0000;1;_", this);
    editCustID->setToolTip(kCustIdHint);
    editCustID->setGeometry(16, 68, 110, 24);

    lblSerialNum = TextLabel("Enter Identifier Serial Number", this);
    lblSerialNum->setObjectName("lblSerialNum");
    lblSerialNum->setToolTip(kSerialHint);
    lblSerialNum->setGeometry(16, 102, 220, 16);
    editSerialNum = MaskedEdit("editSerialNum", "00000000;1;_", this);
    editSerialNum->setToolTip(kSerialHint);
    editSerialNum->setGeometry(16, 120, 110, 24);

    lblNumLabels = TextLabel("Number of Labels", this);
    lblNumLabels->setObjectName("lblNumLabels");
    lblNumLabels->setToolTip(kNumLabelsHint);
    lblNumLabels->setGeometry(16, 154, 220, 16);
    editNumLabels = new QSpinBox(this);
    editNumLabels->setObjectName("editNumLabels");
    editNumLabels->setRange(1, 1000);
    editNumLabels->setValue(1);
    editNumLabels->setGeometry(16, 172, 70, 24);
    editNumLabels->installEventFilter(new OneTypedCharacter(editNumLabels));

    btnOK = new QPushButton("OK", this);
    btnOK->setObjectName("btnOK");
    btnOK->setGeometry(282, 68, 82, 25);
    btnOK->setDefault(true);
    btnCancel = new QPushButton("Cancel", this);
    btnCancel->setObjectName("btnCancel");
    btnCancel->setGeometry(282, 102, 82, 25);
    btnHelp = new QPushButton("Help", this);
    btnHelp->setObjectName("btnHelp");
    btnHelp->setGeometry(282, 136, 82, 25);
    connect(btnOK, &QPushButton::clicked, this, &TF_PrintBarCode::btnOKClick);
    connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(btnHelp, &QPushButton::clicked, this, &TF_PrintBarCode::btnHelpClick);
    focusWatch_ = connect(qApp, &QApplication::focusChanged, this, [this](QWidget* old, QWidget* now) {
        if (now == btnHelp) beforeHelp_ = old;
    });

    BuildHelpPanel();

    setTabOrder(editCustID, editSerialNum);
    setTabOrder(editSerialNum, editNumLabels);
    setTabOrder(editNumLabels, btnOK);
    setTabOrder(btnOK, btnCancel);
    setTabOrder(btnCancel, btnHelp);

    editCustID->setText(FromAnsi(settings_.CustID));
    editSerialNum->setText(FromAnsi(settings_.SerialNum));
    if (ArticleFormatIsImpb(settings_)) {
        // IMpb labels carry no customer ID; they are numbered by the IMpb
        // serial, as long as its channel makes it.
        lblCustID->hide();
        editCustID->hide();
        lblSerialNum->setText("Enter IMpb Serial Number");
        SetFormMask(*editSerialNum, QString(ImpbSerialDigits(settings_.IMpbChannel), '0') + ";1;_");
        editSerialNum->setText(FromAnsi(settings_.IMpbSerial));
    }
    editSerialNum->setFocus();

    setFixedSize(kWidth, kHeight);
    CentreOnScreen(*this);
}

// Closing the dialog moves the focus once more, after this part of the
// object is gone: the watch must not see that.
TF_PrintBarCode::~TF_PrintBarCode() { disconnect(focusWatch_); }

void TF_PrintBarCode::BuildHelpPanel() {
    panelBarCode = HelpPanel("panelBarCode", kHeight, kWidth, kHeightWithHelp - kHeight, this);
    LabelDnB = FillBarcodeHelp(panelBarCode, this);
}

void TF_PrintBarCode::btnOKClick() {
    editNumLabels->interpretText();
    numLabels_ = editNumLabels->value();
    if (ArticleFormatIsImpb(settings_)) {
        settings_.IMpbSerial = ToAnsi(MaskedText(*editSerialNum));
    } else {
        settings_.SerialNum = ToAnsi(MaskedText(*editSerialNum));
        settings_.CustID = ToAnsi(MaskedText(*editCustID));
    }
    accept();
}

void TF_PrintBarCode::btnHelpClick() {
    // Help disables itself; the focus goes back to where it was before Help
    // took it, without selecting a field's text, so the next key typed does
    // not replace a value the user did not point at.
    if (btnHelp->hasFocus()) {
        QWidget* back = beforeHelp_ && isAncestorOf(beforeHelp_) && beforeHelp_->isEnabled()
                            ? beforeHelp_.data()
                            : static_cast<QWidget*>(btnOK);
        back->setFocus(Qt::OtherFocusReason);
    }
    panelBarCode->show();
    setFixedSize(kWidth, kHeightWithHelp);
    btnHelp->setEnabled(false);
    CentreOnScreen(*this);
}

void TF_PrintBarCode::LabelDnBClick() { Ui().OpenUrl(LabelDnB->text()); }

bool TF_PrintBarCode::eventFilter(QObject* watched, QEvent* event) {
    if (watched == LabelDnB) {
        switch (event->type()) {
        case QEvent::Enter: LabelDnB->setCursor(Qt::PointingHandCursor); break;
        case QEvent::Leave: LabelDnB->unsetCursor(); break;
        case QEvent::MouseButtonRelease: LabelDnBClick(); return true;
        default: break;
        }
    }
    return QDialog::eventFilter(watched, event);
}

}  // namespace gs
