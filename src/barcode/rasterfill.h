#pragma once

#include <QImage>

#include <algorithm>
#include <cstring>
#include <vector>

// Pixel fills straight into the scan lines of an 8-bit bitmap. Every bar of a
// symbol covers whole rows of the same columns, so a symbol is drawn as one
// row of spans that is then copied down: a few hundred byte fills in all.
namespace gs::raster {

inline constexpr uchar kWhite = 255;
inline constexpr uchar kBlack = 0;

// A bitmap as the symbol drawings see it: upright, white where nothing is
// drawn. With a half turn, upright pixel (x, y) lands at (W - 1 - x,
// H - 1 - y), so a symbol turned 180 degrees is drawn straight into its
// final place. A fresh bitmap's rows are whitened only when first drawn on;
// rows a copy covers are never whitened, and Finish() whitens the rows
// nothing touched. Whole lines are written, the bytes that pad them to 4
// bytes included, so the buffer is the same whatever the path.
class Canvas {
public:
    // `white`: the bitmap is already white (nothing to whiten, no Finish).
    Canvas(QImage& image, bool halfTurn, bool white)
        : width_(image.width()),
          height_(image.height()),
          halfTurn_(halfTurn),
          stride_(static_cast<std::size_t>(image.bytesPerLine())),
          bits_(image.isNull() ? nullptr : image.bits()),
          ready_(static_cast<std::size_t>(std::max(height_, 0)), white ? 1 : 0) {}

    int Width() const { return width_; }
    int Height() const { return height_; }

    // Upright row y, whitened on first use; null outside the bitmap.
    uchar* Row(int y) {
        if (y < 0 || y >= height_) return nullptr;
        uchar* line = Line(y);
        if (!ready_[static_cast<std::size_t>(y)]) {
            std::memset(line, kWhite, stride_);
            ready_[static_cast<std::size_t>(y)] = 1;
        }
        return line;
    }

    // Blackens upright columns [x, x + w) of a row Row() gave, clipped.
    void Span(uchar* line, int x, int w) const {
        const int from = std::max(x, 0);
        const int to = std::min(x + w, width_);
        if (from >= to) return;
        const int at = halfTurn_ ? width_ - to : from;
        std::memset(line + at, kBlack, static_cast<std::size_t>(to - from));
    }

    // Copies upright row `source` onto the rows [from, to), clipped.
    void CopyRowDown(int source, int from, int to) {
        from = std::max(from, 0);
        to = std::min(to, height_);
        const uchar* src = Row(source);
        if (src == nullptr) return;
        for (int y = from; y < to; ++y) {
            if (y == source) continue;
            std::memcpy(Line(y), src, stride_);
            ready_[static_cast<std::size_t>(y)] = 1;
        }
    }

    // Whitens every row nothing was drawn on.
    void Finish() {
        for (int y = 0; y < height_; ++y) Row(y);
    }

private:
    uchar* Line(int y) const {
        return bits_ + stride_ * static_cast<std::size_t>(halfTurn_ ? height_ - 1 - y : y);
    }

    int width_;
    int height_;
    bool halfTurn_;
    std::size_t stride_;
    uchar* bits_;
    std::vector<uchar> ready_;  // per upright row: white or drawn already
};

}  // namespace gs::raster
