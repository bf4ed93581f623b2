#include "numbering/impbfields.h"

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

const char* const kImpbHint = "Click on \"Help\" for information on the IMpb number";

std::string Digits(const QLineEdit* edit) { return ToAnsi(MaskedText(*edit).remove(' ')); }

}  // namespace

ImpbFieldsBox::ImpbFieldsBox(QWidget* parent) : QGroupBox("IMpb Number", parent) {
    setObjectName("gbIMpb");
    setToolTip(kImpbHint);
    struct Column {
        QLineEdit** edit;
        const char* name;
        const char* caption;
        const char* mask;  // required digits, then the optional ones
        int x, labelWidth, editWidth;
    };
    const Column columns[] = {
        {&editIMpbChannel, "editIMpbChannel", "Channel", "00;1;_", 12, 60, 40},
        {&editIMpbServiceType, "editIMpbServiceType", "Service Type", "000;1;_", 78, 84, 48},
        {&editIMpbMailerId, "editIMpbMailerId", "Mailer ID", "000000999;1;_", 168, 90, 90},
        {&editIMpbSerial, "editIMpbSerial", "Serial Number", "0000000999;1;_", 264, 94, 94},
    };
    for (const Column& c : columns) {
        QLabel* label = TextLabel(c.caption, this);
        label->setGeometry(c.x, 18, c.labelWidth, 18);
        label->setToolTip(kImpbHint);
        *c.edit = MaskedEdit(c.name, c.mask, this);
        (*c.edit)->setGeometry(c.x, 38, c.editWidth, 24);
        (*c.edit)->setToolTip(kImpbHint);
    }
}

void ImpbFieldsBox::SetFields(const ImpbFields& f) {
    editIMpbChannel->setText(FromAnsi(f.channel));
    editIMpbServiceType->setText(FromAnsi(f.serviceType));
    editIMpbMailerId->setText(FromAnsi(f.mailerId));
    editIMpbSerial->setText(FromAnsi(f.serial));
}

ImpbFields ImpbFieldsBox::Fields() const {
    return {Digits(editIMpbChannel), Digits(editIMpbServiceType), Digits(editIMpbMailerId), Digits(editIMpbSerial)};
}

QLineEdit* ImpbFieldsBox::EditOf(ImpbField field) const {
    switch (field) {
    case ImpbField::Channel: return editIMpbChannel;
    case ImpbField::ServiceType: return editIMpbServiceType;
    case ImpbField::MailerId: return editIMpbMailerId;
    case ImpbField::Serial: return editIMpbSerial;
    case ImpbField::None: break;
    }
    return nullptr;
}

QList<QLineEdit*> ImpbFieldsBox::Edits() const {
    return {editIMpbChannel, editIMpbServiceType, editIMpbMailerId, editIMpbSerial};
}

QFrame* BuildImpbHelpPanel(int top, int width, QWidget* parent) {
    QFrame* panel = HelpPanel("panelIMpb", top, width, kImpbHelpHeight, parent);
    auto* v = new QVBoxLayout(panel);
    v->setContentsMargins(8, 3, 8, 2);
    v->setSpacing(1);
    v->addLayout(Row({TextLabel("IMpb Number:", panel, true),
                      TextLabel("The 22-digit certified-mail number of the", panel)}));
    v->addWidget(TextLabel("Intelligent Mail package barcode.  Channel 92 goes with a 9-digit Mailer ID, 93 with a "
                           "6-digit one.  The 3-digit Service Type Code is the one your postal agreement (or "
                           "the postal service's Publication 199) gives for certified mail with your extra "
                           "services.",
                           panel, false, true));
    v->addLayout(Row({TextLabel("Mailer ID:", panel, true),
                      TextLabel("The Mailer ID the postal service assigned to you", panel)}));
    v->addWidget(TextLabel("(in the Business Customer Gateway).  With a 9-digit Mailer ID the Serial Number has 7 "
                           "digits, with a 6-digit one 10.  You choose the Serial Number; the one shown is the "
                           "next mailer's and it counts up by one with every mailer printed.",
                           panel, false, true));
    v->addStretch(1);
    return panel;
}

}  // namespace gs
