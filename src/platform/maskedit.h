#pragma once
// Masked entry fields in the forms' notation on top of QLineEdit input masks.
//
// Form notation: "0" a required digit, "9" an optional digit, "\" makes the
// next character literal; after the first ";" a "1" keeps the literals in the
// text; after the second ";" the character shown for an empty position.
// Qt swaps the meaning of "0" and "9".
#include <QString>

class QLineEdit;

namespace gs {

QString QtInputMask(const QString& formMask);

// Applies a form mask to a line edit (and its length limit).
void SetFormMask(QLineEdit& edit, const QString& formMask);

// The field's text as the forms read it: literals kept, empty positions as
// blanks. An untouched ZIP+4 mask reads "     -    ".
QString MaskedText(const QLineEdit& edit);

}  // namespace gs
