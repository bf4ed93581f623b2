#include "printing/formoutline.h"

namespace gs {

namespace {

QRectF Box(double left, double top, double right, double bottom) { return QRectF(QPointF(left, top), QPointF(right, bottom)); }

}  // namespace

// Each box holds the items of one part of the layout with a little room:
// text at 180 degrees lies left of and above its point, at 270 degrees left
// of its point and down from it.
const std::vector<FormBox>& MailerFormOutline() {
    static const std::vector<FormBox> boxes = {
        {"Addressed To", Box(3.20, 5.55, 6.30, 6.68)},           // recipient block and its ZIP barcode
        {"RE", Box(3.20, 4.96, 6.30, 5.20)},
        {"Your Name and Address", Box(3.20, 3.75, 6.30, 4.92)},  // sender block and its ZIP barcode
        {"Extra Label", Box(0.10, 5.55, 3.10, 6.68)},
        {"Article Number", Box(0.55, 3.82, 3.20, 4.92)},         // the tall barcode and its number
        {"Second Article Number", Box(2.50, 1.78, 5.20, 2.52)},  // the short barcode and its number
        {"Return Address", Box(2.05, 2.60, 7.75, 3.52)},         // sender lines, number, restricted mark
        {"Side Strip", Box(6.90, 3.75, 8.30, 7.60)},             // sender, RE, comment and number at 270
        {"Side Number", Box(7.90, 1.70, 8.20, 3.55)},
        {"Receipt", Box(0.05, 0.60, 1.70, 3.35)},
        {"Recipient Stub", Box(2.40, 0.55, 5.30, 1.40)},
    };
    return boxes;
}

QRectF MailerSheetInches() { return QRectF(0, 0, 8.5, 11.0); }

QRectF MailerFormRegion(const QString& name) {
    for (const FormBox& box : MailerFormOutline())
        if (box.name == name) return box.inches.adjusted(-0.15, -0.15, 0.15, 0.15);
    return MailerSheetInches();
}

}  // namespace gs
