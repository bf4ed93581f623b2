#include "barcode/postnet.h"

#include "barcode/rasterfill.h"

#include <algorithm>
#include <climits>
#include <cmath>

namespace gs {

// Digit 0 is F F H H H (C0), 1 is H H H F F (18), 9 is F H F H H (A0).
const std::array<std::uint8_t, 10> kPostnetDigits = {
    0xC0, 0x18, 0x28, 0x30, 0x48, 0x50, 0x60, 0x88, 0x90, 0xA0,
};

int PostnetFullBarHeight(int dotsPerInch) {
    return static_cast<int>(std::nearbyint(dotsPerInch * kPostnetFullBarInches));
}

int PostnetHalfBarHeight(int fullHeight) {
    if (fullHeight <= 0) return 0;
    // 2/5 of a whole number never ends in exactly one half, so plain rounding
    // is the rounding to even.
    return std::max(1, static_cast<int>((4LL * fullHeight + 5) / 10));
}

std::string PreparePostnetText(std::string_view text) {
    std::string digits;
    for (char ch : text) {
        if (ch >= '0' && ch <= '9') {
            if (digits.size() == kPostnetMaxDigits) break;
            digits.push_back(ch);
        }
    }
    return digits;
}

int PostnetCheckDigit(std::string_view digits) {
    int sum = 0;
    for (char ch : digits) {
        if (ch >= '0' && ch <= '9') sum = (sum + (ch - '0')) % 10;
    }
    return (10 - sum) % 10;
}

int PostnetWidth(int digitCount, int scale) {
    const long long modules = digitCount <= 0 ? 20 : 10LL * (digitCount + 1) + 23;
    const long long width = modules * scale;
    return width > INT_MAX ? INT_MAX : static_cast<int>(width);
}

void DrawPostnet(QImage& bitmap, std::string_view digits, int x0, int y0, int scale, int height) {
    raster::Canvas canvas(bitmap, false, true);
    DrawPostnet(canvas, digits, x0, y0, scale, height);
}

void DrawPostnet(raster::Canvas& canvas, std::string_view digits, int x0, int y0, int scale, int height) {
    if (scale <= 0 || height <= 0 || canvas.Width() <= 0 || canvas.Height() <= 0) return;

    std::string bars;  // 'F' full, 'H' half, frame bars included
    bars.reserve(digits.size() * 5 + 7);
    auto addDigit = [&bars](int d) {
        for (int b = 0; b < 5; ++b) bars.push_back((kPostnetDigits[static_cast<std::size_t>(d)] & (0x80 >> b)) ? 'F' : 'H');
    };
    bars.push_back('F');
    for (char ch : digits) {
        if (ch >= '0' && ch <= '9') addDigit(ch - '0');
    }
    addDigit(PostnetCheckDigit(digits));
    bars.push_back('F');

    // Full bars alone in the upper half, every bar in the lower half: one
    // line of each, copied down.
    const int top = std::max(y0, 0);
    const int half = y0 + height - PostnetHalfBarHeight(height);
    const int bottom = std::min(y0 + height, canvas.Height());
    if (top >= bottom) return;
    const int halfRow = std::clamp(half, top, bottom);
    const int lineWidth = canvas.Width();

    auto drawLine = [&](int row, bool withHalfBars) {
        uchar* line = canvas.Row(row);
        for (std::size_t i = 0; i < bars.size(); ++i) {
            // The first frame bar sits at x0; every later bar one pitch (two
            // modules) further on.
            const long long x = x0 + 2LL * static_cast<long long>(i) * scale;
            if (x >= lineWidth) break;
            if (bars[i] == 'F' || withHalfBars) canvas.Span(line, static_cast<int>(x), scale);
        }
    };
    if (top < halfRow) {
        drawLine(top, false);
        canvas.CopyRowDown(top, top + 1, halfRow);
    }
    if (halfRow < bottom) {
        drawLine(halfRow, true);
        canvas.CopyRowDown(halfRow, halfRow + 1, bottom);
    }
}

}  // namespace gs
