#include "piece/piecepreview.h"

#include "numbering/articlenumber.h"

namespace gs {

PiecePreview PreviewNextPiece(const PrintedPiece& piece, const Settings& settings, const QFont& baseFont) {
    Settings next = settings;
    try {
        StepArticleNumber(next);
    } catch (const ArticleNumberError&) {
        next = settings;
    }
    PiecePreview preview;
    preview.request = MailerRequestOf(piece, next);
    preview.printBarCode = next.PrintBarCode;
    preview.baseFont = baseFont;
    preview.number = FormatArticleNumber(PlainNumberOf(next));
    return preview;
}

void SetPreviewAlignment(PiecePreview& preview, long leftRight, long upDown) {
    preview.request.alignLeftRight = std::to_string(leftRight);
    preview.request.alignUpDown = std::to_string(upDown);
}

void DrawPiecePreview(PrintCanvas& canvas, const PiecePreview& preview) {
    DrawMailer(canvas, preview.request, preview.printBarCode, preview.baseFont);
}

}  // namespace gs
