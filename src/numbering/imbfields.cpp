#include "numbering/imbfields.h"

#include "numbering/dialogparts.h"
#include "platform/maskedit.h"
#include "platform/qtext.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

namespace gs {

namespace {

const char* const kImbHint = "Click on \"Help\" for information on the Intelligent Mail barcode";

std::string Digits(const QLineEdit* edit) { return ToAnsi(MaskedText(*edit).remove(' ')); }

}  // namespace

ImbTrackingBox::ImbTrackingBox(QWidget* parent) : QGroupBox("Intelligent Mail Barcode", parent) {
    setObjectName("gbIMb");
    setToolTip(kImbHint);
    struct Column {
        QLineEdit** edit;
        const char* name;
        const char* caption;
        const char* mask;  // required digits, then the optional ones
        int x, labelWidth, editWidth;
    };
    const Column columns[] = {
        {&editIMbBarcodeId, "editIMbBarcodeId", "Barcode ID", "00;1;_", 12, 70, 40},
        {&editIMbServiceType, "editIMbServiceType", "Service Type", "000;1;_", 88, 80, 48},
        {&editIMbMailerId, "editIMbMailerId", "Mailer ID", "000000999;1;_", 174, 90, 90},
        {&editIMbSerial, "editIMbSerial", "Serial Number", "000000999;1;_", 272, 86, 86},
    };
    for (const Column& c : columns) {
        QLabel* label = TextLabel(c.caption, this);
        label->setGeometry(c.x, 18, c.labelWidth, 18);
        label->setToolTip(kImbHint);
        *c.edit = MaskedEdit(c.name, c.mask, this);
        (*c.edit)->setGeometry(c.x, 38, c.editWidth, 24);
        (*c.edit)->setToolTip(kImbHint);
    }
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
    v->addWidget(TextLabel("A 6-digit Mailer ID is followed by a 9-digit Serial Number, a 9-digit Mailer ID by a "
                           "6-digit one, so that the tracking code has 20 digits.  The Serial Number shown is "
                           "the next mailer's; it counts up by one with every mailer printed.",
                           panel, false, true));
    v->addStretch(1);
    return panel;
}

}  // namespace gs
