#include "numbering/imbfields.h"

#include "numbering/dialogparts.h"
#include "platform/maskedit.h"
#include "platform/qtext.h"

#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

#include <algorithm>

namespace gs {

namespace {

const char* const kImbHint = "Click on \"Help\" for information on the Intelligent Mail barcode";

std::string Digits(const QLineEdit* edit) { return ToAnsi(MaskedText(*edit).remove(' ')); }

}  // namespace

ImbTrackingBox::ImbTrackingBox(QWidget* parent) : QGroupBox("Intelligent Mail Barcode", parent) {
    setObjectName("gbIMb");
    setToolTip(kImbHint);
    struct Row {
        QLineEdit** edit;
        const char* name;
        const char* caption;
        const char* mask;  // required digits, then the optional ones
        int editWidth;
        const char* hint;
    };
    // The tracking serial is named apart from the article number's
    // identifier serial number, which the dialog also shows.
    const Row rows[] = {
        {&editIMbBarcodeId, "editIMbBarcodeId", "Barcode ID", "00;1;_", 40, "2 digits, usually 00"},
        {&editIMbServiceType, "editIMbServiceType", "Service Type", "000;1;_", 48, "3 digits: mail class and services"},
        {&editIMbMailerId, "editIMbMailerId", "Mailer ID", "000000999;1;_", 90, "6 or 9 digits, from the postal service"},
        {&editIMbSerial, "editIMbSerial", "Tracking Serial", "000000999;1;_", 90,
         "9 digits with a 6-digit Mailer ID, 6 with a 9-digit one"},
    };
    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(12, 4, 8, 6);
    grid->setHorizontalSpacing(8);
    grid->setVerticalSpacing(3);
    QFont hintFont = font();
    hintFont.setPixelSize(10);
    int row = 0;
    for (const Row& r : rows) {
        QLabel* label = TextLabel(r.caption, this);
        label->setToolTip(kImbHint);
        *r.edit = MaskedEdit(r.name, r.mask, this);
        (*r.edit)->setFixedSize(r.editWidth, 24);
        (*r.edit)->setToolTip(kImbHint);
        QLabel* hint = TextLabel(r.hint, this, false, true);
        hint->setObjectName(QString(r.name).replace("edit", "lblHint"));
        hint->setFont(hintFont);
        hint->setToolTip(kImbHint);
        grid->addWidget(label, row, 0, Qt::AlignVCenter);
        grid->addWidget(*r.edit, row, 1, Qt::AlignVCenter);
        grid->addWidget(hint, row, 2, Qt::AlignVCenter);
        ++row;
    }
    grid->setColumnMinimumWidth(1, 90);
    grid->setColumnStretch(2, 1);
}

int ImbTrackingBox::NeededHeight() const {
    return std::max(layout()->totalHeightForWidth(width()), layout()->totalMinimumSize().height());
}

void ImbTrackingBox::SetFields(const ImbTrackingFields& f) {
    editIMbBarcodeId->setText(FromAnsi(f.barcodeId));
    editIMbServiceType->setText(FromAnsi(f.serviceType));
    editIMbMailerId->setText(FromAnsi(f.mailerId));
    editIMbSerial->setText(FromAnsi(f.serial));
}

ImbTrackingFields ImbTrackingBox::Fields() const {
    return {Digits(editIMbBarcodeId), Digits(editIMbServiceType), Digits(editIMbMailerId), Digits(editIMbSerial)};
}

QLineEdit* ImbTrackingBox::EditOf(ImbField field) const {
    switch (field) {
    case ImbField::BarcodeId: return editIMbBarcodeId;
    case ImbField::ServiceType: return editIMbServiceType;
    case ImbField::MailerId: return editIMbMailerId;
    case ImbField::Serial: return editIMbSerial;
    case ImbField::None: break;
    }
    return nullptr;
}

QList<QLineEdit*> ImbTrackingBox::Edits() const {
    return {editIMbBarcodeId, editIMbServiceType, editIMbMailerId, editIMbSerial};
}

QFrame* BuildImbHelpPanel(int top, int width, QWidget* parent) {
    QFrame* panel = HelpPanel("panelIMb", top, width, kImbHelpHeight, parent);
    auto* v = new QVBoxLayout(panel);
    v->setContentsMargins(8, 3, 8, 2);
    v->setSpacing(1);
    v->addLayout(Row({TextLabel("Intelligent Mail Barcode:", panel, true),
                      TextLabel("The ZIP codes are printed as Intelligent Mail", panel)}));
    v->addWidget(TextLabel("barcodes that also carry a tracking code.  The Barcode ID is 00 unless the postal "
                           "service gives you another; its second digit is 0 to 4.  The Service Type ID has "
                           "three digits and names the mail class and the services you use.",
                           panel, false, true));
    v->addLayout(Row({TextLabel("Mailer ID:", panel, true),
                      TextLabel("The 6 or 9 digit Mailer ID the postal service assigned to you.", panel)}));
    v->addWidget(TextLabel("A 6-digit Mailer ID is followed by a 9-digit Tracking Serial, a 9-digit Mailer ID by a "
                           "6-digit one, so that the tracking code has 20 digits.  The Tracking Serial shown is "
                           "the next mailer's; it counts up by one with every mailer printed.",
                           panel, false, true));
    v->addStretch(1);
    return panel;
}

}  // namespace gs
