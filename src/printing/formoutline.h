#pragma once
// Where the certified-mail form's pre-printed boxes are, as our own drawing
// of where the printed items must land: inches on the sheet as it passes
// through the printer (the form itself is turned by 180 degrees against
// it). The alignment offsets never move these, the printed items move
// against them. The preview shows them faintly; nothing prints them.
#include <QRectF>
#include <QString>
#include <vector>

namespace gs {

struct FormBox {
    QString name;  // as the user knows the part of the form
    QRectF inches;
};

const std::vector<FormBox>& MailerFormOutline();

// The sheet the form is printed on: US Letter, 8.5 x 11 in.
QRectF MailerSheetInches();

// A part of the form to look at closely: the box of that name with a
// margin round it; the whole sheet for any other name.
QRectF MailerFormRegion(const QString& name);

}  // namespace gs
