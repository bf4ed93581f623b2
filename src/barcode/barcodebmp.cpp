#include "barcode/barcodebmp.h"

#include "barcode/code128.h"
#include "barcode/imb.h"
#include "barcode/postnet.h"
#include "barcode/rasterfill.h"

#include <QFontMetrics>
#include <QGuiApplication>
#include <QPainter>

#include <algorithm>
#include <vector>

namespace gs {

namespace {

// The bitmap has no resolution of its own; font points map to its pixels as
// on a 96-dpi screen bitmap.
constexpr int kBitmapDotsPerMeter = 3780;

// Windows-1252 bytes of a Code 128 text (codes up to 128) as Unicode.
QString TextForDisplay(const std::string& text) {
    QString out;
    out.reserve(static_cast<qsizetype>(text.size()));
    for (char ch : text) {
        const auto c = static_cast<unsigned char>(ch);
        out.append(c == 0x80 ? QChar(0x20AC) : QChar(c));
    }
    return out;
}

std::string ApplyTextRule(TBarCodeType type, std::string_view text) {
    switch (type) {
    case TBarCodeType::bcCode128:
    case TBarCodeType::bcEAN128: return PrepareCode128Text(text);
    case TBarCodeType::bcPOSTNET: return PreparePostnetText(text);
    case TBarCodeType::bcIntelligentMail: return PrepareImbText(text);
    default: return std::string(text);
    }
}

// (Re)shapes the bitmap, reusing its memory when the size stays.
void Reshape(QImage& image, int width, int height) {
    width = std::max(width, 0);
    height = std::max(height, 0);
    if (image.width() == width && image.height() == height && image.format() == QImage::Format_Grayscale8) return;
    image = QImage(width, height, QImage::Format_Grayscale8);
    if (!image.isNull()) {
        image.setDotsPerMeterX(kBitmapDotsPerMeter);
        image.setDotsPerMeterY(kBitmapDotsPerMeter);
    }
}

// Turns a drawing half round in place: pixel (x, y) goes to
// (W - 1 - x, H - 1 - y). Only a symbol with its text line comes here; bars
// alone are drawn turned.
void TurnHalfRound(QImage& image) {
    const int w = image.width();
    const int h = image.height();
    for (int top = 0, bottom = h - 1; top <= bottom; ++top, --bottom) {
        uchar* a = image.scanLine(top);
        uchar* b = image.scanLine(bottom);
        std::reverse(a, a + w);
        if (a == b) break;
        std::reverse(b, b + w);
        std::swap_ranges(a, a + w, b);
    }
}

}  // namespace

TBarcodeBmp::TBarcodeBmp() : font_(QStringLiteral("Courier New")) {
    font_.setStyleHint(QFont::TypeWriter);
    // Until a property is set the bitmap is the empty 20 x 50 white one.
}

const QImage& TBarcodeBmp::Bitmap() const {
    if (stale_) Rebuild();
    return bitmap_;
}

void TBarcodeBmp::Changed() {
    stale_ = true;
    // The human-readable line's size follows the module width whenever a
    // symbol with that line is set up, whether or not it is drawn.
    if (interpret_ && !text_.empty() && scale_ > 0 && height_ > 0) font_.setPointSize(8 * scale_);
}

void TBarcodeBmp::SetHeight(int height) {
    height_ = height;
    Changed();
}

void TBarcodeBmp::SetBarcodeText(std::string_view text) {
    text_ = ApplyTextRule(type_, text);
    Changed();
}

void TBarcodeBmp::SetBarcodeType(TBarCodeType type) {
    type_ = type;
    // What an earlier rule removed does not come back.
    text_ = ApplyTextRule(type_, text_);
    Changed();
}

void TBarcodeBmp::SetFont(const QFont* font) {
    if (font == nullptr) return;
    font_ = *font;
    Changed();
}

void TBarcodeBmp::SetScale(int scale) {
    scale_ = scale;
    Changed();
}

void TBarcodeBmp::SetBarPitch(int pitch) {
    barPitch_ = pitch;
    Changed();
}

void TBarcodeBmp::SetInterpret(bool interpret) {
    interpret_ = interpret;
    Changed();
}

void TBarcodeBmp::SetRotate(TbcRotate rotate) {
    rotate_ = rotate;
    Changed();
}

void TBarcodeBmp::Rebuild() const {
    stale_ = false;
    const int scale = std::max(scale_, 0);
    const int emptyWidth = 20 * scale;

    std::vector<int> code128;
    std::string imbStates;
    const int pitch = barPitch_ > 0 ? barPitch_ : 2 * scale;
    int width = emptyWidth;
    if (!text_.empty()) {
        if (type_ == TBarCodeType::bcCode128 || type_ == TBarCodeType::bcEAN128) {
            code128 = type_ == TBarCodeType::bcEAN128 ? EncodeGs1_128(text_) : EncodeCode128(text_);
            width = Code128WidthForValues(code128.size(), scale);
        } else if (type_ == TBarCodeType::bcPOSTNET) {
            width = PostnetWidth(static_cast<int>(text_.size()), scale);
        } else if (type_ == TBarCodeType::bcIntelligentMail) {
            // Digits that do not make a symbol leave the empty bitmap.
            imbStates = ImbBarStates(text_);
            if (!imbStates.empty()) width = ImbWidth(scale, pitch);
        }
    }

    Reshape(bitmap_, width, height_);
    if (bitmap_.isNull()) return;

    const bool drawn = !text_.empty() && scale > 0;
    // Only Code 128 has a human-readable line, drawn with the GUI's fonts.
    const bool textLine = drawn && interpret_ && type_ == TBarCodeType::bcCode128 && qGuiApp != nullptr;
    // Bars alone are drawn straight into a half-turned bitmap; the text line
    // is drawn upright and the bitmap turned afterwards, as for quarter turns.
    const bool turnWhileDrawing = rotate_ == TbcRotate::bcRotate180 && !textLine;
    raster::Canvas canvas(bitmap_, turnWhileDrawing, false);
    const int band = interpret_ ? 5 * scale : 0;
    if (drawn) {
        if (type_ == TBarCodeType::bcCode128 || type_ == TBarCodeType::bcEAN128) {
            DrawCode128(canvas, code128, 10 * scale, scale, height_ - band);
        } else if (type_ == TBarCodeType::bcPOSTNET) {
            DrawPostnet(canvas, text_, 10 * scale, 0, scale, height_);
        } else if (type_ == TBarCodeType::bcIntelligentMail) {
            DrawImb(canvas, imbStates, kImbQuietPitches * pitch, scale, pitch, height_);
        }
    }
    canvas.Finish();
    if (textLine) DrawHumanReadable(width);

    if (rotate_ != TbcRotate::bcNoRotate && !turnWhileDrawing) ApplyRotation();
}

// Fonts need the GUI application; without one the bars stand alone.
void TBarcodeBmp::DrawHumanReadable(int width) const {
    QFont font = font_;
    font.setStyleStrategy(QFont::NoAntialias);  // keep the bitmap two-coloured
    const QString line = TextForDisplay(text_);
    QPainter painter(&bitmap_);
    painter.setFont(font);
    const QFontMetrics metrics = painter.fontMetrics();
    const int textWidth = metrics.horizontalAdvance(line);
    const int textHeight = metrics.height();
    const int x = width / 2 - textWidth / 2;
    const int y = height_ - textHeight;
    painter.fillRect(QRect(x, y, textWidth, textHeight), Qt::white);
    painter.setPen(Qt::black);
    painter.drawText(x, y + metrics.ascent(), line);
}

void TBarcodeBmp::ApplyRotation() const {
    const int w = bitmap_.width();
    const int h = bitmap_.height();
    if (w == 0 || h == 0) {
        if (rotate_ != TbcRotate::bcRotate180) Reshape(bitmap_, h, w);
        return;
    }

    if (rotate_ == TbcRotate::bcRotate180) {
        TurnHalfRound(bitmap_);
        return;
    }

    // Quarter turns need the second bitmap: it is H wide and W high.
    Reshape(spare_, h, w);
    if (spare_.isNull()) {
        bitmap_ = spare_;
        return;
    }
    const uchar* source = bitmap_.constBits();
    const qsizetype stride = bitmap_.bytesPerLine();
    for (int x = 0; x < w; ++x) {
        if (rotate_ == TbcRotate::bcRotate90) {
            // (x, y) -> (H - 1 - y, x): target line x is source column x,
            // bottom pixel first.
            uchar* dst = spare_.scanLine(x);
            for (int y = 0; y < h; ++y) dst[h - 1 - y] = source[y * stride + x];
        } else {
            // (x, y) -> (y, W - 1 - x).
            uchar* dst = spare_.scanLine(w - 1 - x);
            for (int y = 0; y < h; ++y) dst[y] = source[y * stride + x];
        }
    }
    std::swap(bitmap_, spare_);
}

}  // namespace gs
