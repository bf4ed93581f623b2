#include "barcode/barcodebmp.h"

#include "barcode/code128.h"
#include "barcode/imb.h"
#include "barcode/postnet.h"
#include "barcode/rasterfill.h"

#include <QFontMetrics>
#include <QGuiApplication>
#include <QPainter>

#include <algorithm>
#include <cstring>
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

// Reversed copies of the last two distinct lines asked for. A barcode has
// few distinct lines (bars, half bars, text), so most lines are a compare
// and a copy instead of a byte-by-byte reversal.
class ReversedLines {
public:
    explicit ReversedLines(std::size_t width) : width_(width) {
        for (Entry& e : entries_) {
            e.source.resize(width);
            e.reversed.resize(width);
        }
    }

    const uchar* Of(const uchar* line) {
        for (Entry& e : entries_) {
            if (e.used && std::memcmp(e.source.data(), line, width_) == 0) return e.reversed.data();
        }
        Entry& e = entries_[next_];
        next_ = 1 - next_;
        std::memcpy(e.source.data(), line, width_);
        std::reverse_copy(line, line + width_, e.reversed.data());
        e.used = true;
        return e.reversed.data();
    }

private:
    struct Entry {
        std::vector<uchar> source;
        std::vector<uchar> reversed;
        bool used = false;
    };
    std::size_t width_;
    Entry entries_[2];
    int next_ = 0;
};

}  // namespace

TBarcodeBmp::TBarcodeBmp() : font_(QStringLiteral("Courier New")) {
    font_.setStyleHint(QFont::TypeWriter);
    // The constructor shows the empty 20 x 50 white bitmap; real drawing
    // starts with the first property assignment.
    Rebuild();
}

void TBarcodeBmp::SetHeight(int height) {
    height_ = height;
    Rebuild();
}

void TBarcodeBmp::SetBarcodeText(std::string_view text) {
    text_ = ApplyTextRule(type_, text);
    Rebuild();
}

void TBarcodeBmp::SetBarcodeType(TBarCodeType type) {
    type_ = type;
    // What an earlier rule removed does not come back.
    text_ = ApplyTextRule(type_, text_);
    Rebuild();
}

void TBarcodeBmp::SetFont(const QFont* font) {
    if (font == nullptr) return;
    font_ = *font;
    Rebuild();
}

void TBarcodeBmp::SetScale(int scale) {
    scale_ = scale;
    Rebuild();
}

void TBarcodeBmp::SetBarPitch(int pitch) {
    barPitch_ = pitch;
    Rebuild();
}

void TBarcodeBmp::SetInterpret(bool interpret) {
    interpret_ = interpret;
    Rebuild();
}

void TBarcodeBmp::SetRotate(TbcRotate rotate) {
    rotate_ = rotate;
    Rebuild();
}

void TBarcodeBmp::Rebuild() {
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
    bitmap_.fill(raster::kWhite);

    const int band = interpret_ ? 5 * scale : 0;
    if (!text_.empty() && scale > 0) {
        if (type_ == TBarCodeType::bcCode128 || type_ == TBarCodeType::bcEAN128) {
            DrawCode128(bitmap_, code128, 10 * scale, scale, height_ - band);
        } else if (type_ == TBarCodeType::bcPOSTNET) {
            DrawPostnet(bitmap_, text_, 10 * scale, 0, scale, height_);
        } else if (type_ == TBarCodeType::bcIntelligentMail) {
            DrawImb(bitmap_, imbStates, kImbQuietPitches * pitch, scale, pitch, height_);
        }
        if (interpret_) DrawHumanReadable(width);
    }

    if (rotate_ != TbcRotate::bcNoRotate) ApplyRotation();
}

void TBarcodeBmp::DrawHumanReadable(int width) {
    font_.setPointSize(8 * scale_);
    if (type_ != TBarCodeType::bcCode128) return;
    // Fonts need the GUI application; without one the bars stand alone.
    if (qGuiApp == nullptr) return;

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

void TBarcodeBmp::ApplyRotation() {
    const int w = bitmap_.width();
    const int h = bitmap_.height();
    if (w == 0 || h == 0) {
        if (rotate_ != TbcRotate::bcRotate180) Reshape(bitmap_, h, w);
        return;
    }

    if (rotate_ == TbcRotate::bcRotate180) {
        // (x, y) -> (W - 1 - x, H - 1 - y): lines swapped end for end, each
        // reversed. Done in place; bar lines repeat, so each distinct line is
        // reversed once.
        const auto width = static_cast<std::size_t>(w);
        ReversedLines reversed(width);
        std::vector<uchar> held(width);
        for (int y = 0; y < h / 2; ++y) {
            uchar* top = bitmap_.scanLine(y);
            uchar* bottom = bitmap_.scanLine(h - 1 - y);
            std::memcpy(held.data(), reversed.Of(top), width);
            std::memcpy(top, reversed.Of(bottom), width);
            std::memcpy(bottom, held.data(), width);
        }
        if (h % 2 != 0) {
            uchar* middle = bitmap_.scanLine(h / 2);
            std::memcpy(middle, reversed.Of(middle), width);
        }
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
