#include "barcode/code128.h"

#include "barcode/rasterfill.h"

#include <climits>

namespace gs {

// ISO/IEC 15417 module patterns, values 0..106 (bar/space widths 212222 for
// value 0 and so on; STOP 2331112).
const std::array<std::uint16_t, 107> kCode128Patterns = {
    0xD980, 0xCD80, 0xCCC0, 0x9300, 0x9180, 0x8980, 0x9900, 0x9880,  //   0
    0x8C80, 0xC900, 0xC880, 0xC480, 0xB380, 0x9B80, 0x99C0, 0xB980,  //   8
    0x9D80, 0x9CC0, 0xCE40, 0xCB80, 0xC9C0, 0xDC80, 0xCE80, 0xEDC0,  //  16
    0xE980, 0xE580, 0xE4C0, 0xEC80, 0xE680, 0xE640, 0xDB00, 0xD8C0,  //  24
    0xC6C0, 0xA300, 0x8B00, 0x88C0, 0xB100, 0x8D00, 0x8C40, 0xD100,  //  32
    0xC500, 0xC440, 0xB700, 0xB1C0, 0x8DC0, 0xBB00, 0xB8C0, 0x8EC0,  //  40
    0xEEC0, 0xD1C0, 0xC5C0, 0xDD00, 0xDC40, 0xDDC0, 0xEB00, 0xE8C0,  //  48
    0xE2C0, 0xED00, 0xEC40, 0xE340, 0xEF40, 0xC840, 0xF140, 0xA600,  //  56
    0xA180, 0x9600, 0x90C0, 0x8580, 0x84C0, 0xB200, 0xB080, 0x9A00,  //  64
    0x9840, 0x8680, 0x8640, 0xC240, 0xCA00, 0xF740, 0xC280, 0x8F40,  //  72
    0xA780, 0x9780, 0x93C0, 0xBC80, 0x9E80, 0x9E40, 0xF480, 0xF280,  //  80
    0xF240, 0xDBC0, 0xDEC0, 0xF6C0, 0xAF00, 0xA3C0, 0x8BC0, 0xBD00,  //  88
    0xBC40, 0xF500, 0xF440, 0xBBC0, 0xBDC0, 0xEBC0, 0xF5C0, 0xD080,  //  96
    0xD200, 0xD380, 0xC758,                                          // 104
};

namespace {

enum class CodeSet { A, B, C };

bool IsDigit(unsigned char c) { return c >= '0' && c <= '9'; }
bool IsControl(unsigned char c) { return c < 32; }

// Characters only set B carries: the lower-case letters and the rest of
// 96..128 (braces, tilde, DEL). Set A would read them as control characters,
// so they are a reason to leave set A just as lower-case letters are.
bool NeedsSetB(unsigned char c) { return c >= 96 && c <= 128; }

unsigned char At(std::string_view text, std::size_t i) { return static_cast<unsigned char>(text[i]); }

std::size_t DigitRun(std::string_view text, std::size_t from) {
    std::size_t n = 0;
    while (from + n < text.size() && IsDigit(At(text, from + n))) ++n;
    return n;
}

// Set for a text or for the rest of one: C for four or more leading digits;
// otherwise A when a control character comes before any set-B character.
CodeSet ChooseSet(std::string_view text, std::size_t from) {
    if (DigitRun(text, from) >= 4) return CodeSet::C;
    for (std::size_t i = from; i < text.size(); ++i) {
        if (IsControl(At(text, i))) return CodeSet::A;
        if (NeedsSetB(At(text, i))) return CodeSet::B;
    }
    return CodeSet::B;
}

}  // namespace

std::string PrepareCode128Text(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (char ch : text) {
        if (static_cast<unsigned char>(ch) <= 128) out.push_back(ch);
    }
    return out;
}

int Code128CheckValue(const std::vector<int>& values) {
    if (values.empty()) return 0;
    int sum = values[0];
    for (std::size_t i = 1; i < values.size(); ++i) {
        sum = static_cast<int>((sum + static_cast<long long>(i % 103) * values[i]) % 103);
    }
    return sum;
}

std::vector<int> EncodeCode128(std::string_view text) {
    std::vector<int> out;
    if (text.empty()) return out;
    out.reserve(text.size() + 8);

    CodeSet set = ChooseSet(text, 0);
    out.push_back(set == CodeSet::A ? kCode128StartA : set == CodeSet::B ? kCode128StartB : kCode128StartC);

    std::size_t p = 0;
    bool shifted = false;
    for (;;) {
        const unsigned char c = At(text, p);
        if (set == CodeSet::C) {
            out.push_back((c - '0') * 10 + (At(text, p + 1) - '0'));
            p += 2;
        } else {
            out.push_back(set == CodeSet::A && IsControl(c) ? c + 64 : c - 32);
            p += 1;
        }
        if (p >= text.size()) break;

        if (shifted) {
            set = set == CodeSet::A ? CodeSet::B : CodeSet::A;
            shifted = false;
        }

        const unsigned char next = At(text, p);
        const bool last = p + 1 == text.size();
        if (set != CodeSet::C) {
            const std::size_t run = DigitRun(text, p);
            if (run >= 4 && run % 2 == 0) {
                out.push_back(kCode128CodeC);
                set = CodeSet::C;
                continue;
            }
        }
        if (set == CodeSet::B && IsControl(next)) {
            if (last || !NeedsSetB(At(text, p + 1))) {
                out.push_back(kCode128CodeA);
            } else {
                out.push_back(kCode128Shift);
                shifted = true;
            }
            set = CodeSet::A;
            continue;
        }
        if (set == CodeSet::A && NeedsSetB(next)) {
            if (last || !IsControl(At(text, p + 1))) {
                out.push_back(kCode128CodeB);
            } else {
                out.push_back(kCode128Shift);
                shifted = true;
            }
            set = CodeSet::B;
            continue;
        }
        if (set == CodeSet::C) {
            if (!last && IsDigit(next) && IsDigit(At(text, p + 1))) continue;
            if (!last) {
                set = ChooseSet(text, p);
            } else {
                set = IsControl(next) ? CodeSet::A : CodeSet::B;
            }
            out.push_back(set == CodeSet::A ? kCode128CodeA : kCode128CodeB);
        }
    }

    out.push_back(Code128CheckValue(out));
    out.push_back(kCode128Stop);
    return out;
}

namespace {

// Digits from `from` up to a separator, a non-digit or the end.
std::size_t Gs1DigitRun(std::string_view text, std::size_t from) { return DigitRun(text, from); }

// Whether a digit run starting at `from` is worth set C: four digits or
// more, or two that end the text or the element.
bool WorthSetC(std::string_view text, std::size_t from) {
    const std::size_t run = Gs1DigitRun(text, from);
    if (run >= 4) return true;
    return run == 2 && (from + 2 == text.size() || text[from + 2] == kGs1Separator);
}

}  // namespace

std::vector<int> EncodeGs1_128(std::string_view text) {
    std::vector<int> out;
    if (text.empty()) return out;
    out.reserve(text.size() / 2 + 8);
    // Two leading digits already make set C no longer than set B.
    bool setC = Gs1DigitRun(text, 0) >= 2 && Gs1DigitRun(text, 0) % 2 == 0;
    out.push_back(setC ? kCode128StartC : kCode128StartB);
    out.push_back(kCode128Fnc1);
    std::size_t p = 0;
    while (p < text.size()) {
        if (text[p] == kGs1Separator) {
            out.push_back(kCode128Fnc1);  // FNC1 is the same value in every set
            ++p;
            continue;
        }
        if (setC) {
            if (Gs1DigitRun(text, p) >= 2) {
                out.push_back((At(text, p) - '0') * 10 + (At(text, p + 1) - '0'));
                p += 2;
                continue;
            }
            out.push_back(kCode128CodeB);
            setC = false;
            continue;
        }
        if (WorthSetC(text, p) && Gs1DigitRun(text, p) % 2 == 0) {
            out.push_back(kCode128CodeC);
            setC = true;
            continue;
        }
        if (At(text, p) >= 32 && At(text, p) < 127) out.push_back(At(text, p) - 32);  // else no GS1 character
        ++p;
    }
    out.push_back(Code128CheckValue(out));
    out.push_back(kCode128Stop);
    return out;
}

int Code128WidthForValues(std::size_t valueCount, int scale) {
    const long long modules = valueCount == 0 ? 20 : 11LL * static_cast<long long>(valueCount) + 22;
    const long long width = modules * scale;
    return width > INT_MAX ? INT_MAX : static_cast<int>(width);
}

int Code128Width(std::string_view text, int scale) {
    return Code128WidthForValues(EncodeCode128(text).size(), scale);
}

void DrawCode128(QImage& bitmap, const std::vector<int>& values, int x0, int scale, int barHeight) {
    raster::Canvas canvas(bitmap, false, true);
    DrawCode128(canvas, values, x0, scale, barHeight);
}

void DrawCode128(raster::Canvas& canvas, const std::vector<int>& values, int x0, int scale, int barHeight) {
    barHeight = std::min(barHeight, canvas.Height());
    if (barHeight <= 0 || scale <= 0 || canvas.Width() <= 0) return;
    uchar* line = canvas.Row(0);
    const int lineWidth = canvas.Width();
    long long x = x0;
    for (int value : values) {
        if (value < 0 || value > kCode128Stop) break;
        if (x >= lineWidth) break;
        const std::uint16_t pattern = kCode128Patterns[static_cast<std::size_t>(value)];
        const int modules = Code128Modules(value);
        // Dark modules next to each other are one bar: fill it in one go.
        int m = 0;
        while (m < modules) {
            if (pattern & (0x8000u >> m)) {
                int end = m;
                while (end < modules && (pattern & (0x8000u >> end))) ++end;
                canvas.Span(line, static_cast<int>(x + static_cast<long long>(m) * scale), (end - m) * scale);
                m = end;
            } else {
                ++m;
            }
        }
        x += static_cast<long long>(modules) * scale;
    }
    canvas.CopyRowDown(0, 1, barHeight);
}

}  // namespace gs
