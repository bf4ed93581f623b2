#pragma once

// Reference readers for rendered barcodes. They share nothing with the
// encoders: the Code 128 reader works from the published bar/space width
// table typed out on its own, the POSTNET reader from the bar weights.

#include <QImage>

#include <optional>
#include <string>
#include <vector>

namespace gs::testing {

// The published bar/space widths of a Code 128 value 0..106 ("212222" for 0).
const char* Code128ReferenceWidths(int value);

struct Code128Reading {
    std::vector<int> values;  // START .. check value, STOP not included
    std::string text;         // decoded data characters (an FNC1 after the first data as GS)
    int moduleWidth = 0;
    int leftQuietModules = 0;
    int rightQuietModules = 0;
};

// Reads the Code 128 symbol on one row of an unrotated bitmap. Returns an
// error text in `error` and nothing when the row does not hold a valid
// symbol (unknown pattern, no STOP, wrong check value, bad set switch).
std::optional<Code128Reading> ReadCode128(const QImage& bitmap, int row, std::string* error = nullptr);

struct PostnetReading {
    std::string digits;  // data digits, check digit not included
    int checkDigit = 0;
    int barWidth = 0;
    int pitch = 0;
    int leftQuiet = 0;
    int rightQuiet = 0;
    int fullHeight = 0;
    int halfTop = 0;  // first row of the half bars
};

// Reads a POSTNET symbol from an unrotated bitmap: frame bars, groups of five
// with exactly two full bars each, digit sum a multiple of ten.
std::optional<PostnetReading> ReadPostnet(const QImage& bitmap, std::string* error = nullptr);

struct FourStateReading {
    std::string states;  // 'F' full, 'A' ascender, 'D' descender, 'T' tracker, left to right
    int barWidth = 0;
    int pitch = 0;
    int leftQuiet = 0;
    int rightQuiet = 0;
    int fullHeight = 0;      // rows of a full bar
    int ascenderHeight = 0;  // rows of an ascender bar (tracker included)
    int descenderHeight = 0;
    int trackerHeight = 0;
};

// Reads the bars of a four-state symbol (the Intelligent Mail barcode) from
// an unrotated bitmap: every bar crosses the middle row; a bar is classed by
// whether it reaches the top and the bottom row. Bars of one width at one
// pitch, and one height per state, or nothing.
std::optional<FourStateReading> ReadFourState(const QImage& bitmap, std::string* error = nullptr);

}  // namespace gs::testing
