#include "numbering/tf_mailer.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QEvent>
#include <QFocusEvent>
#include <QFrame>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextDocument>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QVBoxLayout>

#include "numbering/articlenumber.h"
#include "numbering/dialogparts.h"
#include "numbering/imbfields.h"
#include "numbering/impbfields.h"
#include "platform/application.h"
#include "platform/windowplacement.h"
#include "platform/maskedit.h"
#include "platform/qtext.h"
#include "platform/userinteraction.h"

namespace gs {

namespace {

constexpr int kWidth = 385;
constexpr int kHeight = 150;
constexpr int kDontShowRoom = 32;   // the check box sits below the buttons
constexpr int kBarCodeHelpHeight = 152;
constexpr int kMailerNumHelpHeight = 200;

// Every position a required digit, literals kept, "_" for an empty position.
const char* const kCustIdMask = "00-000-0000;1;_";
const char* const kSerialMask = "00000000;1;_";
// Twenty digits, or the twenty-two of an IMpb form.
const char* const kMailerNumMask = "0000000000000000000099;1;_";

const char* const kSerialHint = "Click on \"Help\" for information on the Identifier Serial Number";
const char* const kCustIdHint = "Click on \"Help\" for information on the Customer ID";
const char* const kInvalidInput = "Invalid input value.  Use escape key to abandon changes.";

}  // namespace

TF_Mailer::TF_Mailer(Settings& settings, bool& showMailerScreen, bool showDontShowBox, QWidget* parent)
    : QDialog(parent),
      settings_(settings),
      showMailerScreen_(showMailerScreen),
      showDontShowBox_(showDontShowBox),
      imb_(ZipBarcodeIsImb(settings)),
      impb_(ArticleFormatIsImpb(settings)),
      baseHeight_(kHeight) {
    setObjectName("F_Mailer");
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowCloseButtonHint);

    // Barcode mode: customer ID and identifier serial number.
    gbPrintBarcode = new QGroupBox(this);
    gbPrintBarcode->setObjectName("gbPrintBarcode");
    gbPrintBarcode->setGeometry(8, 4, 273, 134);
    lblCustID = TextLabel("Customer ID (DUNS #)", gbPrintBarcode);
    lblCustID->setObjectName("lblCustID");
    lblCustID->setToolTip(kCustIdHint);
    lblCustID->setGeometry(12, 18, 250, 18);
    editCustID = MaskedEdit("editCustID", kCustIdMask, gbPrintBarcode);
    editCustID->setToolTip(kSerialHint);
    editCustID->setGeometry(12, 38, 110, 24);
    lblSerialNum = TextLabel("Enter Identifier Serial Number", gbPrintBarcode);
    lblSerialNum->setObjectName("lblSerialNum");
    lblSerialNum->setToolTip(kSerialHint);
    lblSerialNum->setGeometry(12, 72, 250, 18);
    editSerialNum = MaskedEdit("editSerialNum", kSerialMask, gbPrintBarcode);
    editSerialNum->setToolTip(kSerialHint);
    editSerialNum->setGeometry(12, 92, 110, 24);

    // Pre-printed mode, in the same place: the next form's number and the direction.
    gbNoBarCode = new QGroupBox(this);
    gbNoBarCode->setObjectName("gbNoBarCode");
    gbNoBarCode->setGeometry(gbPrintBarcode->geometry());
    lblMailerNum = TextLabel("20 Digit Mailer Number", gbNoBarCode);
    lblMailerNum->setObjectName("lblMailerNum");
    lblMailerNum->setGeometry(12, 18, 250, 18);
    editMailerNum = MaskedEdit("editMailerNum", kMailerNumMask, gbNoBarCode);
    editMailerNum->setGeometry(12, 38, 200, 24);
    rgCountType = new QGroupBox("Count Type", gbNoBarCode);
    rgCountType->setObjectName("rgCountType");
    rgCountType->setGeometry(12, 70, 249, 54);
    countType_ = new QButtonGroup(this);
    auto* countLayout = new QHBoxLayout(rgCountType);
    for (int i = 0; i < 2; ++i) {
        auto* item = new QRadioButton(i == 0 ? "Increment" : "Decrement", rgCountType);
        countType_->addButton(item, i);
        countLayout->addWidget(item, 1);
    }

    cbDontShow = new QCheckBox("Do not show this screen again", this);
    cbDontShow->setObjectName("cbDontShow");
    cbDontShow->setGeometry(16, baseHeight_ + 6, 300, 20);
    cbDontShow->setVisible(showDontShowBox_);

    btnOK = new QPushButton("OK", this);
    btnOK->setObjectName("btnOK");
    btnOK->setGeometry(292, 12, 82, 25);
    btnOK->setDefault(true);
    btnCancel = new QPushButton("Cancel", this);
    btnCancel->setObjectName("btnCancel");
    btnCancel->setGeometry(292, 44, 82, 25);
    btnHelp = new QPushButton("Help", this);
    btnHelp->setObjectName("btnHelp");
    btnHelp->setGeometry(292, 76, 82, 25);
    connect(btnOK, &QPushButton::clicked, this, &TF_Mailer::btnOKClick);
    connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(btnHelp, &QPushButton::clicked, this, &TF_Mailer::btnHelpClick);

    gbIMb = new ImbTrackingBox(this);
    gbIMb->resize(kWidth - 16, gbIMb->height());
    gbIMb->setGeometry(8, kHeight - 4, kWidth - 16, gbIMb->NeededHeight());
    gbIMb->setVisible(imb_);
    // The window grows by each box shown, and the check box moves below them.
    if (imb_) baseHeight_ = gbIMb->geometry().bottom() + 1 + 8;

    gbIMpb = new ImpbFieldsBox(this);
    gbIMpb->setGeometry(8, baseHeight_ - 4, kWidth - 16, kImpbBoxRoom - 4);
    gbIMpb->setVisible(impb_);
    if (impb_) baseHeight_ += kImpbBoxRoom;
    cbDontShow->move(16, baseHeight_ + 6);

    BuildBarcodeHelp();
    BuildMailerNumHelp();
    panelIMb = BuildImbHelpPanel(baseHeight_, kWidth, this);
    panelIMpb = BuildImpbHelpPanel(baseHeight_, kWidth, this);
    FitHelpPanel(panelIMb);
    FitHelpPanel(panelIMpb);

    for (QLineEdit* edit : {editCustID, editSerialNum, editMailerNum}) edit->installEventFilter(this);
    for (QLineEdit* edit : gbIMb->Edits()) edit->installEventFilter(this);
    for (QLineEdit* edit : gbIMpb->Edits()) edit->installEventFilter(this);

    FormCreate();

    // Room for the check box below the buttons when the caller shows it.
    setFixedSize(kWidth, baseHeight_ + (showDontShowBox_ ? kDontShowRoom : 0));
    CentreOnScreen(*this);
}

void TF_Mailer::BuildBarcodeHelp() {
    panelBarCode = HelpPanel("panelBarCode", baseHeight_, kWidth, kBarCodeHelpHeight, this);
    LabelDnB = FillBarcodeHelp(panelBarCode, this);
    FitHelpPanel(panelBarCode);
}

void TF_Mailer::BuildMailerNumHelp() {
    panelMailerNum = HelpPanel("panelMailerNum", baseHeight_, kWidth, kMailerNumHelpHeight, this);
    memoCountHelp = new QPlainTextEdit(panelMailerNum);
    memoCountHelp->setObjectName("memoCountHelp");
    memoCountHelp->setReadOnly(true);
    memoCountHelp->document()->setDocumentMargin(0);
    memoCountHelp->setFrameShape(QFrame::NoFrame);
    memoCountHelp->setFocusPolicy(Qt::NoFocus);
    memoCountHelp->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    memoCountHelp->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    QPalette windowColour = memoCountHelp->palette();
    windowColour.setColor(QPalette::Base, windowColour.color(QPalette::Window));
    memoCountHelp->setPalette(windowColour);
    memoCountHelp->setPlainText(
        "\"Decrement\" depending on the order you have the Mailer's in your printer. \n"
        "Some printers  pull paper from the bottom of the pile and some from the top. \n"
        "Thus if your printer takes paper from the bottom of the pile, you must use \n"
        "the mailer number from the bottom of the pile of mailers and have the \n"
        "counter decrement the number for each new label. ");
    // Its five lines, as many lines of the panel as they wrap into in the
    // font at hand, at the panel's width inside its frame and margins.
    memoCountHelp->setFixedHeight(TextBoxHeight(*memoCountHelp, panelMailerNum->contentsRect().width() - 16));

    auto* v = new QVBoxLayout(panelMailerNum);
    v->setContentsMargins(8, 3, 8, 2);
    v->setSpacing(1);
    v->addLayout(Row({TextLabel("20 Digit Mailer Number:", panelMailerNum, true),
                      TextLabel("You have chosen not to print the bar code's,", panelMailerNum)}));
    v->addWidget(TextLabel("thus your mailers must have the bar code already printed on them.  You must enter all "
                           "20 digits of the next Mailer Number in your printer.",
                           panelMailerNum, false, true));
    v->addLayout(Row({TextLabel("Increment/Decrement:", panelMailerNum, true),
                      TextLabel("You can select either \"Increment\", or ", panelMailerNum)}));
    v->addWidget(memoCountHelp);
    v->addWidget(TextLabel("To determine the order of your mailer numbers, look at the last 10 digits of the Mailer "
                           "Number and ignore the last digit.  The remaining 9 digits will be",
                           panelMailerNum, false, true));
    v->addLayout(Row({TextLabel("your", panelMailerNum), TextLabel("unique number", panelMailerNum, true),
                      TextLabel(". These", panelMailerNum), TextLabel("unique numbers", panelMailerNum, true),
                      TextLabel("should be consecutive.", panelMailerNum)}));
    v->addStretch(1);
    FitHelpPanel(panelMailerNum);
}

void TF_Mailer::FormCreate() {
    setWindowTitle("Mailer Number");
    gbPrintBarcode->setVisible(settings_.PrintBarCode);
    gbNoBarCode->setVisible(!settings_.PrintBarCode);
    if (settings_.PrintBarCode) {
        editSerialNum->setText(FromAnsi(settings_.SerialNum));
        editCustID->setText(FromAnsi(settings_.CustID));
    } else {
        editMailerNum->setText(FromAnsi(settings_.MailerNum));
        SetCountTypeIndex(settings_.Increment ? 0 : 1);
    }
    if (imb_) gbIMb->SetFields(ImbTrackingOf(settings_));
    if (impb_) gbIMpb->SetFields(ImpbFieldsOf(settings_));
}

int TF_Mailer::CountTypeIndex() const { return countType_->checkedId(); }

void TF_Mailer::SetCountTypeIndex(int index) {
    if (auto* item = countType_->button(index)) item->setChecked(true);
}

bool TF_Mailer::RefuseIfIncomplete(QLineEdit* edit) {
    if (!edit->isModified() || edit->hasAcceptableInput()) return false;
    edit->setFocus(Qt::OtherFocusReason);
    Ui().Message(this, ApplicationTitle(), kInvalidInput, QMessageBox::Critical);
    return true;
}

void TF_Mailer::btnOKClick() {
    // Enter confirms without moving the focus, so the field being edited is
    // checked here as well as when it loses the focus.
    QList<QLineEdit*> fields = settings_.PrintBarCode ? QList<QLineEdit*>{editCustID, editSerialNum}
                                                       : QList<QLineEdit*>{editMailerNum};
    if (imb_) fields += gbIMb->Edits();
    if (impb_) fields += gbIMpb->Edits();
    for (QLineEdit* edit : fields)
        if (RefuseIfIncomplete(edit)) return;
    const std::string mailerNum = ToAnsi(MaskedText(*editMailerNum).remove(' '));
    if (!settings_.PrintBarCode && editMailerNum->isModified() && mailerNum.size() != 20 && mailerNum.size() != 22) {
        editMailerNum->setFocus(Qt::OtherFocusReason);
        Ui().Message(this, ApplicationTitle(), "The Mailer Number has 20 digits, or 22 on an IMpb form.",
                     QMessageBox::Critical);
        return;
    }
    // The IMpb fields must make a number: the pieces are printed with it.
    const ImpbFields impb = gbIMpb->Fields();
    if (impb_) {
        if (const ImpbCheck check = CheckImpbFields(impb); check.field != ImpbField::None) {
            gbIMpb->EditOf(check.field)->setFocus(Qt::OtherFocusReason);
            Ui().Message(this, ApplicationTitle(), FromAnsi(check.problem), QMessageBox::Critical);
            return;
        }
    }
    // The tracking fields must make a tracking code, typed or stored: the
    // pieces are printed with it.
    const ImbTrackingFields tracking = gbIMb->Fields();
    if (imb_) {
        if (const ImbTrackingCheck check = CheckImbTracking(tracking); check.field != ImbField::None) {
            gbIMb->EditOf(check.field)->setFocus(Qt::OtherFocusReason);
            Ui().Message(this, ApplicationTitle(), FromAnsi(check.problem), QMessageBox::Critical);
            return;
        }
    }

    if (settings_.PrintBarCode) {
        settings_.CustID = ToAnsi(MaskedText(*editCustID));
        settings_.SerialNum = ToAnsi(MaskedText(*editSerialNum));
    } else {
        settings_.MailerNum = mailerNum;
        settings_.Increment = CountTypeIndex() == 0;
    }
    if (imb_) {
        settings_.IMbBarcodeId = tracking.barcodeId;
        settings_.IMbServiceType = tracking.serviceType;
        settings_.IMbMailerId = tracking.mailerId;
        settings_.IMbSerial = tracking.serial;
    }
    if (impb_) {
        settings_.IMpbChannel = impb.channel;
        settings_.IMpbServiceType = impb.serviceType;
        settings_.IMpbMailerId = impb.mailerId;
        settings_.IMpbSerial = impb.serial;
    }
    showMailerScreen_ = !cbDontShow->isChecked();
    accept();
}

void TF_Mailer::btnHelpClick() {
    QFrame* panel = settings_.PrintBarCode ? panelBarCode : panelMailerNum;
    int grow = panel->height();  // its designed height, or what its text needs in the fonts at hand
    if (showDontShowBox_)
        for (QFrame* p : {panelBarCode, panelMailerNum}) p->move(p->x(), p->y() + kDontShowRoom);
    panel->show();
    if (imb_) {
        // The tracking fields' help follows the mode's.
        panelIMb->move(0, panel->y() + grow);
        panelIMb->show();
        grow += panelIMb->height();
    }
    if (impb_) {
        panelIMpb->move(0, panel->y() + grow);
        panelIMpb->show();
        grow += panelIMpb->height();
    }
    setFixedSize(kWidth, height() + grow);
    btnHelp->setEnabled(false);
    CentreOnScreen(*this);
}

void TF_Mailer::LabelDnBClick() { Ui().OpenUrl(LabelDnB->text()); }

bool TF_Mailer::eventFilter(QObject* watched, QEvent* event) {
    if (watched == LabelDnB) {
        switch (event->type()) {
        case QEvent::Enter: LabelDnB->setCursor(Qt::PointingHandCursor); break;
        case QEvent::Leave: LabelDnB->unsetCursor(); break;
        case QEvent::MouseButtonRelease: LabelDnBClick(); return true;
        default: break;
        }
        return false;
    }
    if (event->type() == QEvent::FocusOut) {
        auto* edit = static_cast<QLineEdit*>(watched);
        const auto reason = static_cast<QFocusEvent*>(event)->reason();
        // Switching to another window or opening a menu is not leaving the field.
        if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason) {
            QTimer::singleShot(0, this, [this, edit] {
                QWidget* now = QApplication::focusWidget();
                // Cancel changes nothing, so moving to it needs no check.
                if (!isVisible() || now == edit || now == btnCancel || !isAncestorOf(now)) return;
                RefuseIfIncomplete(edit);
            });
        }
    }
    return QDialog::eventFilter(watched, event);
}

void MailerNumberCommand(Settings& settings, bool& showMailerScreen, QWidget* parent) {
    const ArticleNumberUndo undo(settings);
    StepArticleNumber(settings);  // shows the number the next piece will carry
    TF_Mailer dialog(settings, showMailerScreen, false, parent);
    if (Ui().RunModal(dialog) != QDialog::Accepted) {
        undo.Restore(settings);
        return;
    }
    try {
        UnstepArticleNumber(settings);  // the next print steps onto the number entered
    } catch (const ArticleNumberError&) {
        undo.Restore(settings);
        throw;
    }
}

}  // namespace gs
