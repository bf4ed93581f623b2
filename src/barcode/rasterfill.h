#pragma once

#include <QImage>

#include <algorithm>
#include <cstring>

// Pixel fills straight into the scan lines of an 8-bit bitmap. Every bar of a
// symbol covers whole rows of the same columns, so a symbol is drawn as one
// row of spans that is then copied down: a few hundred byte fills in all.
namespace gs::raster {

inline constexpr uchar kWhite = 255;
inline constexpr uchar kBlack = 0;

// Blackens columns [x, x + w) of one scan line, clipped to the line.
inline void BlackSpan(uchar* line, int lineWidth, int x, int w) {
    int from = std::max(x, 0);
    int to = std::min(x + w, lineWidth);
    if (from < to) std::memset(line + from, kBlack, static_cast<std::size_t>(to - from));
}

// Copies row `source` onto the rows [from, to), clipped to the bitmap.
inline void CopyRowDown(QImage& bitmap, int source, int from, int to) {
    from = std::max(from, 0);
    to = std::min(to, bitmap.height());
    if (source < 0 || source >= bitmap.height()) return;
    const uchar* src = bitmap.constScanLine(source);
    std::size_t bytes = static_cast<std::size_t>(bitmap.width());
    for (int y = from; y < to; ++y) {
        if (y != source) std::memcpy(bitmap.scanLine(y), src, bytes);
    }
}

}  // namespace gs::raster
