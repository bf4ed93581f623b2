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

// The help panel's height (more when the fonts at hand need it).
inline constexpr int kImbHelpHeight = 124;

// The four fields one under the other, each with its caption before it and
// a short hint after it on what goes in.
class ImbTrackingBox : public QGroupBox {
    Q_OBJECT
public:
    explicit ImbTrackingBox(QWidget* parent);

    // The height the box needs at its width, in the fonts at hand.
    int NeededHeight() const;

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
