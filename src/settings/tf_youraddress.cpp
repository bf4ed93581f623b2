#include "settings/tf_youraddress.h"

#include "platform/addressmemo.h"
#include "platform/maskedit.h"
#include "platform/qtext.h"
#include "platform/userinteraction.h"
#include "platform/windowplacement.h"
#include "settings/addresstext.h"
#include "settings/settings.h"

#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace gs {

TF_YourAddress::TF_YourAddress(Settings& settings, QWidget* parent)
    : QDialog(parent), settings_(settings) {
    setObjectName("TF_YourAddress");
    setWindowTitle("Your Name and Address");
    setFixedSize(303, 181);

    GroupBox4 = new QGroupBox("Enter your Name and Address", this);
    GroupBox4->setObjectName("GroupBox4");
    GroupBox4->setGeometry(8, 6, 287, 134);

    memoYourAddress = new AddressMemo(GroupBox4);
    memoYourAddress->setObjectName("memoYourAddress");
    memoYourAddress->setGeometry(10, 20, 272, 70);

    editYourCity = new QLineEdit(GroupBox4);
    editYourCity->setObjectName("editYourCity");
    editYourCity->setMaxLength(35);
    editYourCity->setGeometry(10, 100, 140, 22);
    editYourCity->setPlaceholderText("City");

    editYourState = new QLineEdit(GroupBox4);
    editYourState->setObjectName("editYourState");
    editYourState->setMaxLength(4);
    editYourState->setGeometry(156, 100, 40, 22);
    editYourState->setPlaceholderText("State");

    editYourZip = new QLineEdit(GroupBox4);
    editYourZip->setObjectName("editYourZip");
    SetFormMask(*editYourZip, "99999\\-9999;1;_");
    editYourZip->setGeometry(202, 100, 80, 22);

    btnOK = new QPushButton("OK", this);
    btnOK->setObjectName("btnOK");
    btnOK->setGeometry(136, 148, 75, 25);
    btnOK->setDefault(true);
    btnCancel = new QPushButton("Cancel", this);
    btnCancel->setObjectName("btnCancel");
    btnCancel->setGeometry(220, 148, 75, 25);

    connect(memoYourAddress, &QTextEdit::textChanged, this, &TF_YourAddress::memoYourAddressChange);
    connect(memoYourAddress, &AddressMemo::rewritten, this, &TF_YourAddress::memoYourAddressChange);
    connect(memoYourAddress, &AddressMemo::left, this, &TF_YourAddress::memoYourAddressExit);
    connect(btnOK, &QPushButton::clicked, this, &TF_YourAddress::btnOKClick);
    connect(btnCancel, &QPushButton::clicked, this, &TF_YourAddress::btnCancelClick);

    FormCreate();
}

TF_YourAddress::~TF_YourAddress() {
    // The memo reports losing the focus while it is torn down.
    memoYourAddress->disconnect(this);
}

void TF_YourAddress::FormCreate() {
    QStringList lines;
    for (const std::string* line : {&settings_.Line1, &settings_.Line2, &settings_.Line3, &settings_.Line4})
        if (!line->empty()) lines << FromAnsi(*line);  // stored empty lines are closed up
    memoYourAddress->setPlainText(lines.join('\n'));
    editYourCity->setText(FromAnsi(settings_.City));
    editYourState->setText(FromAnsi(settings_.State));
    editYourZip->setText(FromAnsi(settings_.Zip));
}

void TF_YourAddress::memoYourAddressChange() { memoYourAddress->CutToFourLines(); }

void TF_YourAddress::memoYourAddressExit() { memoYourAddress->RewriteLines(); }

void TF_YourAddress::btnOKClick() {
    settings_.Line1 = ToAnsi(memoYourAddress->Line(0));
    settings_.Line2 = ToAnsi(memoYourAddress->Line(1));
    settings_.Line3 = ToAnsi(memoYourAddress->Line(2));
    settings_.Line4 = ToAnsi(memoYourAddress->Line(3));
    settings_.City = ToAnsi(editYourCity->text());
    settings_.State = ToAnsi(editYourState->text());
    settings_.Zip = NormalizeZip(ToAnsi(MaskedText(*editYourZip)));
    accept();
}

void TF_YourAddress::btnCancelClick() { reject(); }

void TF_YourAddress::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        reject();
        return;
    }
    QDialog::keyPressEvent(event);
}

void TF_YourAddress::showEvent(QShowEvent* event) {
    // Centred on the screen, not on the main window.
    CentreOnScreen(*this);
    QDialog::showEvent(event);
}

bool EditSenderAddress(Settings& settings, QWidget* parent) {
    TF_YourAddress dialog(settings, parent);
    return Ui().RunModal(dialog) == QDialog::Accepted;
}

}  // namespace gs
