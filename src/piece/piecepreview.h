#pragma once
// The page the next print of a piece would give, for the on-screen
// preview: the same request and the same layout calls as PrintMailer, with
// the article number the next print will carry. Previewing takes no
// number: the settings are stepped on a copy, nothing is reserved or
// written. (The window refreshes its numbers from the settings file first,
// so the number is the one another copy's prints have left.)
#include "piece/printedpiece.h"
#include "printing/mailer.h"

#include <QFont>
#include <string>

namespace gs {

struct PiecePreview {
    MailerPrintRequest request;
    bool printBarCode = true;
    QFont baseFont = DefaultBaseFont();
    std::string number;  // grouped form of the number the page shows
};

// A stored serial that is no number cannot be stepped; the preview then
// shows the stored number as it stands (the print itself reports it).
PiecePreview PreviewNextPiece(const PrintedPiece& piece, const Settings& settings, const QFont& baseFont);

// Other alignment offsets than the stored ones, as the alignment dialog
// tries them.
void SetPreviewAlignment(PiecePreview& preview, long leftRight, long upDown);

// Draws the page with the mailer layout, exactly as PrintMailer draws it.
// Throws PrintError as the print would (tracking fields that make no code).
void DrawPiecePreview(PrintCanvas& canvas, const PiecePreview& preview);

}  // namespace gs
