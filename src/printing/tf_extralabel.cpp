#include "printing/tf_extralabel.h"

#include "platform/qtext.h"
#include "platform/windowplacement.h"
#include "settings/settings.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>

namespace gs {

TF_ExtraLabel::TF_ExtraLabel(Settings& settings, QWidget* parent) : QDialog(parent), settings_(settings) {
    setObjectName("F_ExtraLabel");
    setWindowTitle("Extra Label");
    setWindowFlags(Qt::Dialog | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint | Qt::WindowTitleHint);
    resize(409, 208);

    Label1 = new QLabel(
        "Use this window to print an Address on the \"Extra Label\" located on the upper right corner of the "
        "form.  This label is intended for the postage label.  If you are printing the Postage on this label, "
        "you don't want to print an address here.",
        this);
    Label1->setObjectName("Label1");
    Label1->setAlignment(Qt::AlignCenter);
    Label1->setWordWrap(true);
    Label1->setGeometry(8, 8, 393, 56);

    rgExtraLabel = new QGroupBox("Print Address on Extra Label?", this);
    rgExtraLabel->setObjectName("rgExtraLabel");
    rgExtraLabel->setGeometry(8, 70, 393, 48);
    rbYes = new QRadioButton("Yes", rgExtraLabel);
    rbYes->setObjectName("rbYes");
    rbNo = new QRadioButton("No", rgExtraLabel);
    rbNo->setObjectName("rbNo");
    // Two columns below the title, inside the frame.
    rbYes->setGeometry(12, 24, 180, 18);
    rbNo->setGeometry(200, 24, 180, 18);
    group_ = new QButtonGroup(this);
    group_->setExclusive(true);
    group_->addButton(rbYes, 0);
    group_->addButton(rbNo, 1);

    Label2 = new QLabel("Address for Extra Label:", this);
    Label2->setObjectName("Label2");
    Label2->setGeometry(8, 128, 150, 16);
    cbExtraLabel = new QComboBox(this);
    cbExtraLabel->setObjectName("cbExtraLabel");
    cbExtraLabel->setEditable(true);
    cbExtraLabel->setInsertPolicy(QComboBox::NoInsert);
    cbExtraLabel->setMaxVisibleItems(2);
    cbExtraLabel->setGeometry(8, 146, 220, 22);
    cbExtraLabel->clear();
    cbExtraLabel->addItems({"Addressed To", "Your Name and Address"});
    cbExtraLabel->setCurrentText(FromAnsi(settings.ExtraLabel));

    btnOK = new QPushButton("OK", this);
    btnOK->setObjectName("btnOK");
    btnOK->setGeometry(240, 174, 75, 25);
    btnOK->setDefault(true);
    btnCancel = new QPushButton("Cancel", this);
    btnCancel->setObjectName("btnCancel");
    btnCancel->setGeometry(326, 174, 75, 25);

    if (settings.PrintExtraLabel == "Yes") rbYes->setChecked(true);
    else if (settings.PrintExtraLabel == "No") rbNo->setChecked(true);
    rgExtraLabelClick();

    connect(rbYes, &QRadioButton::toggled, this, &TF_ExtraLabel::rgExtraLabelClick);
    connect(btnOK, &QPushButton::clicked, this, &TF_ExtraLabel::btnOKClick);
    connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);
}

QString TF_ExtraLabel::SelectedItem() const {
    if (rbYes->isChecked()) return rbYes->text();
    if (rbNo->isChecked()) return rbNo->text();
    return {};
}

void TF_ExtraLabel::rgExtraLabelClick() { cbExtraLabel->setEnabled(rbYes->isChecked()); }

void TF_ExtraLabel::btnOKClick() {
    // With no item selected (a stored value that is neither "Yes" nor "No")
    // the stored value is kept.
    const QString item = SelectedItem();
    if (!item.isEmpty()) settings_.PrintExtraLabel = ToAnsi(item);
    const QString address = cbExtraLabel->currentText();
    settings_.ExtraLabel =
        address == "Your Name and Address" ? std::string("Your Name and Address") : std::string("Addressed To");
    accept();
}

void TF_ExtraLabel::showEvent(QShowEvent* event) {
    // Centred on the screen, not on the main window.
    CentreOnScreen(*this);
    QDialog::showEvent(event);
}

}  // namespace gs
