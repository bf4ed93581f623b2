#pragma once

#include <QImage>

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace gs {

namespace raster {
class Canvas;
}

// Code 128 symbol values: 0..102 data and function characters, then the
// start characters and STOP.
inline constexpr int kCode128Shift = 98;
inline constexpr int kCode128CodeC = 99;
inline constexpr int kCode128CodeB = 100;
inline constexpr int kCode128CodeA = 101;
inline constexpr int kCode128Fnc1 = 102;
inline constexpr int kCode128StartA = 103;
inline constexpr int kCode128StartB = 104;
inline constexpr int kCode128StartC = 105;
inline constexpr int kCode128Stop = 106;

// Module pattern of every value 0..106, first module in the most significant
// bit, 1 = dark. Values 0..105 use the upper 11 bits, STOP the upper 13.
extern const std::array<std::uint16_t, 107> kCode128Patterns;

// Number of modules a value occupies: 13 for STOP, 11 for every other value.
inline int Code128Modules(int value) { return value == kCode128Stop ? 13 : 11; }

// Text preparation: every character with a code above 128 is removed, the
// rest stays as it is (no case folding).
std::string PrepareCode128Text(std::string_view text);

// The full symbol for a prepared text: START, data and function values, the
// check value and STOP. An empty text has no symbol at all.
std::vector<int> EncodeCode128(std::string_view text);

// GS1-128 (the Code 128 symbol of GS1 element strings, the shipping
// labels' barcode): FNC1 right after START, then the elements, with an FNC1
// wherever the text holds kGs1Separator (the group separator a reader
// returns for it, after a variable-length element that another follows).
// Digit runs go in code set C, two digits to a value; a run of four or more
// digits (or of two that end an element) is switched into set C, after one
// digit in set B when the run is odd; everything else goes in set B.
inline constexpr char kGs1Separator = '\x1d';
std::vector<int> EncodeGs1_128(std::string_view elements);

// Check value of a symbol starting at its START value and holding no check
// value or STOP yet.
int Code128CheckValue(const std::vector<int>& values);

// Width in pixels of the bitmap for the text: (11 x N + 22) x scale with N the
// number of symbol values; 20 x scale for an empty text.
int Code128Width(std::string_view text, int scale);
int Code128WidthForValues(std::size_t valueCount, int scale);

// Draws the values into an 8-bit bitmap already filled white: modules start
// at x0, are `scale` pixels wide and cover rows 0..barHeight-1. A value
// outside 0..106 ends the drawing; the rest of the symbol stays white.
void DrawCode128(QImage& bitmap, const std::vector<int>& values, int x0, int scale, int barHeight);
// The same onto a canvas (which may turn the symbol as it is drawn).
void DrawCode128(raster::Canvas& canvas, const std::vector<int>& values, int x0, int scale, int barHeight);

}  // namespace gs
