#pragma once
// The Intelligent Mail barcode (IMb): 65 bars of four states carrying a
// 20-digit tracking code and a routing code of 0, 5, 9 or 11 digits (the
// ZIP, ZIP+4 or ZIP+4 and delivery point).
//
// The encoding (CRC, codewords, character tables, bar map) comes from
// libzint; we take only the bar states out of it and draw the bars
// ourselves, in the same 8-bit bitmaps as POSTNET, so that bar widths,
// pitch and heights are whole printer pixels chosen here.
#include <QImage>

#include <string>
#include <string_view>

namespace gs {

namespace raster {
class Canvas;
}

inline constexpr std::size_t kImbTrackingDigits = 20;
inline constexpr int kImbBars = 65;

// The postal service's IMb dimensions: bars 0.015 to 0.025 in wide at 20 to
// 24 bars per inch; full bars 0.125 to 0.165 in, ascenders and descenders
// 0.0825 to 0.111 in, the tracker 0.039 to 0.057 in; 0.125 in clear on the
// left and right. We aim at the middle of each range: 0.020 in bars, a
// pitch of 13/300 in (23.1 bars per inch: a whole number of pixels at 300
// and 600 dpi, and a symbol of 2.79 in that fits the extra label), full bars
// of 0.145 in split in three nearly equal parts.
inline constexpr double kImbBarWidthInches = 0.020;
inline constexpr double kImbPitchInches = 13.0 / 300.0;
inline constexpr double kImbFullBarInches = 0.145;
// Quiet zone on each side, in pitches: 3 x 13/300 = 0.13 in.
inline constexpr int kImbQuietPitches = 3;

// Printer pixels at `dotsPerInch`, rounded (ties to even).
int ImbBarWidth(int dotsPerInch);    // 6 at 300 dpi, 12 at 600
int ImbPitch(int dotsPerInch);       // 13 at 300 dpi, 26 at 600
int ImbFullBarHeight(int dotsPerInch);  // 44 at 300 dpi, 87 at 600
// A full bar of `fullHeight` rows: the ascender and the descender each
// stick out round(fullHeight / 3) rows beyond the tracker, the tracker takes
// the rest (44 -> 15 + 14 + 15, 87 -> 29 + 29 + 29).
int ImbExtenderHeight(int fullHeight);
int ImbTrackerHeight(int fullHeight);

// Keeps only the digits 0..9, at most 31 of them (tracking and routing).
std::string PrepareImbText(std::string_view text);

// The routing code the symbol carries for a ZIP text: its digits when there
// are 5, 9 or 11 of them, otherwise none (a symbol with the tracking code
// only).
std::string ImbRoutingCode(std::string_view zipText);

// The 65 bar states, left to right: 'F' full, 'A' ascender, 'D' descender,
// 'T' tracker only. `digits` is the 20-digit tracking code followed by the
// routing code (0, 5, 9 or 11 digits). Empty, with the reason in `error`,
// when the digits cannot be encoded (wrong lengths, a barcode identifier
// whose second digit is above 4).
std::string ImbBarStates(std::string_view digits, std::string* error = nullptr);

// Bitmap width: quiet zone, 65 bars at `pitch`, quiet zone:
// (2 x kImbQuietPitches + 64) x pitch + barWidth.
int ImbWidth(int barWidth, int pitch);

// Draws the bars into an 8-bit bitmap already filled white: bar i covers
// columns x0 + i x pitch .. + barWidth - 1; full bars rows 0..height-1, the
// tracker the middle ImbTrackerHeight(height) rows, ascenders run from the
// top to the tracker's bottom, descenders from the tracker's top to the
// bottom.
void DrawImb(QImage& bitmap, std::string_view states, int x0, int barWidth, int pitch, int height);
// The same onto a canvas (which may turn the symbol as it is drawn).
void DrawImb(raster::Canvas& canvas, std::string_view states, int x0, int barWidth, int pitch, int height);

}  // namespace gs
