#pragma once
// The IMpb number's fields in the mailer-number dialog (shown in barcode
// mode while the article number is the 22-digit IMpb), and the help panel
// that says where an office gets each of them.
#include "numbering/impbnumber.h"

#include <QGroupBox>
#include <QList>

class QFrame;
class QLineEdit;

namespace gs {

// Room the box takes below the dialog's fields, and its help panel's height.
inline constexpr int kImpbBoxRoom = 74;
inline constexpr int kImpbHelpHeight = 150;

class ImpbFieldsBox : public QGroupBox {
    Q_OBJECT
public:
    explicit ImpbFieldsBox(QWidget* parent);

    QLineEdit* editIMpbChannel;
    QLineEdit* editIMpbServiceType;
    QLineEdit* editIMpbMailerId;
    QLineEdit* editIMpbSerial;

    void SetFields(const ImpbFields& fields);
    // The digits typed (blank positions left out).
    ImpbFields Fields() const;
    QLineEdit* EditOf(ImpbField field) const;
    QList<QLineEdit*> Edits() const;
};

QFrame* BuildImpbHelpPanel(int top, int width, QWidget* parent);

}  // namespace gs
