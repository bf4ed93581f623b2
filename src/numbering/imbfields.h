#pragma once
// The Intelligent Mail barcode's tracking fields in the mailer-number
// dialog (shown while the form's ZIP barcodes are Intelligent Mail
// barcodes), and the help panel that explains them.
#include "numbering/imbtracking.h"

#include <QGroupBox>
#include <QList>

class QFrame;
class QLineEdit;

namespace gs {

// Room the box takes below the dialog's fields, and its help panel's height.
inline constexpr int kImbBoxRoom = 74;
inline constexpr int kImbHelpHeight = 124;

class ImbTrackingBox : public QGroupBox {
    Q_OBJECT
public:
    explicit ImbTrackingBox(QWidget* parent);

    QLineEdit* editIMbBarcodeId;
    QLineEdit* editIMbServiceType;
    QLineEdit* editIMbMailerId;
    QLineEdit* editIMbSerial;

    void SetFields(const ImbTrackingFields& fields);
    // The digits typed (blank positions left out).
    ImbTrackingFields Fields() const;
    QLineEdit* EditOf(ImbField field) const;
    QList<QLineEdit*> Edits() const;
};

QFrame* BuildImbHelpPanel(int top, int width, QWidget* parent);

}  // namespace gs
