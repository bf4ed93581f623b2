#pragma once

#include <QImage>

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace gs {

namespace raster {
class Canvas;
}

// Five bars per digit, the first bar in the most significant bit of the byte,
// 1 = full bar, 0 = half bar (bar weights 7 4 2 1 0; zero is written as 7+4).
extern const std::array<std::uint8_t, 10> kPostnetDigits;

// Most digits a POSTNET symbol carries (ZIP + 4 + delivery point).
inline constexpr std::size_t kPostnetMaxDigits = 11;

// Bar heights. The postal service's POSTNET specification asks for full
// bars of 0.125 in and half bars of 0.050 in, each within +-0.010 in; pitch
// (21.4 bars per inch) and bar width (0.023 in) come from the module width.
// Printing sets the component's Height from the printer's vertical
// resolution with PostnetFullBarHeight; the half bars follow from it.
inline constexpr double kPostnetFullBarInches = 0.125;
inline constexpr double kPostnetHalfBarInches = 0.050;
// Full bars in pixels at `dotsPerInch`: 0.125 in, rounded (ties to even):
// 38 at 300 dpi, 75 at 600.
int PostnetFullBarHeight(int dotsPerInch);
// Half bars for a full-bar height: the postal service's 2 : 5, rounded, and
// at least one pixel: 15 for 38, 30 for 75.
int PostnetHalfBarHeight(int fullHeight);

// Keeps only the digits 0..9 and of them only the first eleven.
std::string PreparePostnetText(std::string_view text);

// The digit that brings the digit sum to a multiple of 10. Non-digits are
// ignored.
int PostnetCheckDigit(std::string_view digits);

// Bitmap width in pixels for `digitCount` data digits and module width
// `scale`: (10 x (digitCount + 1) + 23) x scale; 20 x scale without digits.
int PostnetWidth(int digitCount, int scale);

// Draws frame bar, data digits, check digit and frame bar into an 8-bit
// bitmap already filled white. Bars are `scale` pixels wide at a pitch of two
// modules, the first frame bar at x0; full bars cover rows y0..y0+height-1,
// half bars stand on the same bottom line, PostnetHalfBarHeight(height) high.
void DrawPostnet(QImage& bitmap, std::string_view digits, int x0, int y0, int scale, int height);
// The same onto a canvas (which may turn the symbol as it is drawn).
void DrawPostnet(raster::Canvas& canvas, std::string_view digits, int x0, int y0, int scale, int height);

}  // namespace gs
