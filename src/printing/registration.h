#pragma once
// The postal service's barcode-printing registration form, shipped with the
// program's data files as "bcapp.emf" and printed stretched to the page.
#include "printing/printtarget.h"

#include <QByteArray>
#include <QRect>
#include <string>

namespace gs {

// The enhanced metafile converted to SVG text; empty when it does not convert.
QByteArray EmfToSvg(const QByteArray& emf);

// The rectangle the form is stretched into: from the physical offsets to
// the printable size less the offsets, in device pixels.
QRect RegistrationFormRect(const PrintCanvas& canvas);

// Prints the metafile as one page on the target. Returns false, printing
// nothing more, when the file is missing or unreadable or printing fails.
bool PrintRegistrationForm(PrintTarget& target, const std::string& emfPath);

}  // namespace gs
