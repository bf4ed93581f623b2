#include "barcode/imb.h"

#include "barcode/rasterfill.h"

#include <zint.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <memory>
#include <vector>

namespace gs {

namespace {

int Pixels(int dotsPerInch, double inches) { return static_cast<int>(std::nearbyint(dotsPerInch * inches)); }

struct SymbolDeleter {
    void operator()(zint_symbol* s) const { ZBarcode_Delete(s); }
};

}  // namespace

int ImbBarWidth(int dotsPerInch) { return Pixels(dotsPerInch, kImbBarWidthInches); }
int ImbPitch(int dotsPerInch) { return Pixels(dotsPerInch, kImbPitchInches); }
int ImbFullBarHeight(int dotsPerInch) { return Pixels(dotsPerInch, kImbFullBarInches); }

int ImbExtenderHeight(int fullHeight) {
    if (fullHeight <= 0) return 0;
    return static_cast<int>(std::nearbyint(fullHeight / 3.0));
}

int ImbTrackerHeight(int fullHeight) { return std::max(0, fullHeight - 2 * ImbExtenderHeight(fullHeight)); }

std::string PrepareImbText(std::string_view text) {
    std::string digits;
    for (char ch : text) {
        if (ch >= '0' && ch <= '9') {
            if (digits.size() == kImbTrackingDigits + 11) break;
            digits.push_back(ch);
        }
    }
    return digits;
}

std::string ImbRoutingCode(std::string_view zipText) {
    std::string digits;
    for (char ch : zipText)
        if (ch >= '0' && ch <= '9') digits.push_back(ch);
    const std::size_t n = digits.size();
    return n == 5 || n == 9 || n == 11 ? digits : std::string();
}

std::string ImbBarStates(std::string_view digits, std::string* error) {
    auto fail = [error](std::string why) {
        if (error) *error = std::move(why);
        return std::string();
    };
    for (char ch : digits)
        if (ch < '0' || ch > '9') return fail("The Intelligent Mail barcode carries digits only.");
    if (digits.size() < kImbTrackingDigits) return fail("The Intelligent Mail tracking code needs 20 digits.");
    const std::size_t routing = digits.size() - kImbTrackingDigits;
    if (routing != 0 && routing != 5 && routing != 9 && routing != 11)
        return fail("The Intelligent Mail routing code has 5, 9 or 11 digits.");

    // The library reads "tracking-routing".
    std::string input(digits.substr(0, kImbTrackingDigits));
    if (routing > 0) input.append("-").append(digits.substr(kImbTrackingDigits));

    std::unique_ptr<zint_symbol, SymbolDeleter> symbol(ZBarcode_Create());
    if (!symbol) return fail("Out of memory.");
    symbol->symbology = BARCODE_USPS_IMAIL;
    symbol->show_hrt = 0;
    const int rc = ZBarcode_Encode_and_Buffer_Vector(symbol.get(), reinterpret_cast<const unsigned char*>(input.data()),
                                                     static_cast<int>(input.size()), 0);
    if (rc >= ZINT_ERROR || symbol->vector == nullptr) return fail(symbol->errtxt);

    // One rectangle per bar; a bar that reaches the symbol's top has an
    // ascender, one that reaches its bottom a descender.
    struct Bar {
        float x, top, bottom;
    };
    std::vector<Bar> bars;
    float top = 1e9f, bottom = -1e9f;
    for (const zint_vector_rect* r = symbol->vector->rectangles; r != nullptr; r = r->next) {
        bars.push_back({r->x, r->y, r->y + r->height});
        top = std::min(top, r->y);
        bottom = std::max(bottom, r->y + r->height);
    }
    if (bars.size() != static_cast<std::size_t>(kImbBars)) return fail("The Intelligent Mail barcode could not be encoded.");
    std::sort(bars.begin(), bars.end(), [](const Bar& a, const Bar& b) { return a.x < b.x; });
    const float tolerance = (bottom - top) / 20;
    std::string states;
    states.reserve(bars.size());
    for (const Bar& b : bars) {
        const bool ascender = b.top - top < tolerance;
        const bool descender = bottom - b.bottom < tolerance;
        states.push_back(ascender && descender ? 'F' : ascender ? 'A' : descender ? 'D' : 'T');
    }
    return states;
}

int ImbWidth(int barWidth, int pitch) {
    const long long width = static_cast<long long>(2 * kImbQuietPitches + kImbBars - 1) * pitch + barWidth;
    return width > INT_MAX ? INT_MAX : static_cast<int>(std::max(width, 0LL));
}

void DrawImb(QImage& bitmap, std::string_view states, int x0, int barWidth, int pitch, int height) {
    raster::Canvas canvas(bitmap, false, true);
    DrawImb(canvas, states, x0, barWidth, pitch, height);
}

void DrawImb(raster::Canvas& canvas, std::string_view states, int x0, int barWidth, int pitch, int height) {
    if (barWidth <= 0 || pitch <= 0 || height <= 0 || canvas.Width() <= 0 || canvas.Height() <= 0) return;
    const int extender = ImbExtenderHeight(height);
    const int trackerTop = extender;
    const int trackerBottom = extender + ImbTrackerHeight(height);  // one past
    const int lineWidth = canvas.Width();

    // Three bands of identical rows: above the tracker (full bars and
    // ascenders), the tracker (every bar), below it (full bars and
    // descenders). One line of each, copied down.
    auto drawBand = [&](int from, int to, const char* kinds) {
        from = std::max(from, 0);
        to = std::min(to, canvas.Height());
        if (from >= to) return;
        uchar* line = canvas.Row(from);
        for (std::size_t i = 0; i < states.size(); ++i) {
            if (std::string_view(kinds).find(states[i]) == std::string_view::npos) continue;
            const long long x = x0 + static_cast<long long>(i) * pitch;
            if (x >= lineWidth) break;
            canvas.Span(line, static_cast<int>(x), barWidth);
        }
        canvas.CopyRowDown(from, from + 1, to);
    };
    drawBand(0, trackerTop, "FA");
    drawBand(trackerTop, trackerBottom, "FADT");
    drawBand(trackerBottom, height, "FD");
}

}  // namespace gs
