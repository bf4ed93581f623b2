#include "decoders.h"

#include <array>
#include <map>

namespace gs::testing {

namespace {

// Code 128 bar/space widths, values 0..105, then STOP.
const std::array<const char*, 107> kWidths = {
    "212222", "222122", "222221", "121223", "121322", "131222", "122213", "122312", "132212", "221213",
    "221312", "231212", "112232", "122132", "122231", "113222", "123122", "123221", "223211", "221132",
    "221231", "213212", "223112", "312131", "311222", "321122", "321221", "312212", "322112", "322211",
    "212123", "212321", "232121", "111323", "131123", "131321", "112313", "132113", "132311", "211313",
    "231113", "231311", "112133", "112331", "132131", "113123", "113321", "133121", "313121", "211331",
    "231131", "213113", "213311", "213131", "311123", "311321", "331121", "312113", "312311", "332111",
    "314111", "221411", "431111", "111224", "111422", "121124", "121421", "141122", "141221", "112214",
    "112412", "122114", "122411", "142112", "142211", "241211", "221114", "413111", "241112", "134111",
    "111242", "121142", "121241", "114212", "124112", "124211", "411212", "421112", "421211", "212141",
    "214121", "412121", "111143", "111341", "131141", "114113", "114311", "411113", "411311", "113141",
    "114131", "311141", "411131", "211412", "211214", "211232", "2331112",
};

struct Run {
    bool dark;
    int length;
};

std::vector<Run> Runs(const QImage& image, int row) {
    std::vector<Run> runs;
    const uchar* line = image.constScanLine(row);
    for (int x = 0; x < image.width(); ++x) {
        const bool dark = line[x] < 128;
        if (runs.empty() || runs.back().dark != dark) runs.push_back({dark, 0});
        ++runs.back().length;
    }
    return runs;
}

bool Fail(std::string* error, const std::string& why) {
    if (error) *error = why;
    return false;
}

// Turns symbol values into text the way a scanner does.
bool Interpret(const std::vector<int>& values, std::string& text, std::string* error) {
    char set = values[0] == 103 ? 'A' : values[0] == 104 ? 'B' : 'C';
    bool shift = false;
    for (std::size_t i = 1; i < values.size(); ++i) {
        const int v = values[i];
        const char current = shift ? (set == 'A' ? 'B' : 'A') : set;
        shift = false;
        if (v >= 103) return Fail(error, "start character inside the symbol");
        if (current == 'C') {
            if (v < 100) {
                text += static_cast<char>('0' + v / 10);
                text += static_cast<char>('0' + v % 10);
            } else if (v == 100) {
                set = 'B';
            } else if (v == 101) {
                set = 'A';
            } else if (v == 102) {
                if (!text.empty()) text += '\x1d';  // FNC1 first marks GS1-128; later it separates
            } else {
                return Fail(error, "function value " + std::to_string(v) + " in set C");
            }
            continue;
        }
        if (v < 64) {
            text += static_cast<char>(v + 32);
        } else if (v < 96) {
            text += static_cast<char>(current == 'A' ? v - 64 : v + 32);
        } else if (v == 98) {
            shift = true;
        } else if (v == 99) {
            set = 'C';
        } else if (v == 100 && current == 'A') {
            set = 'B';
        } else if (v == 101 && current == 'B') {
            set = 'A';
        } else if (v == 102) {
            if (!text.empty()) text += '\x1d';
        } else {
            return Fail(error, "function value " + std::to_string(v) + " in set " + current);
        }
    }
    if (shift) return Fail(error, "SHIFT at the end of the data");
    return true;
}

}  // namespace

const char* Code128ReferenceWidths(int value) { return kWidths.at(static_cast<std::size_t>(value)); }

std::optional<Code128Reading> ReadCode128(const QImage& bitmap, int row, std::string* error) {
    static const std::map<std::string, int> table = [] {
        std::map<std::string, int> t;
        for (std::size_t v = 0; v < kWidths.size(); ++v) t[kWidths[v]] = static_cast<int>(v);
        return t;
    }();

    std::vector<Run> runs = Runs(bitmap, row);
    if (runs.size() < 3 || runs.front().dark || runs.back().dark) {
        Fail(error, "no quiet zones");
        return std::nullopt;
    }
    // The start character is 11 modules: its six elements give the module.
    int startPixels = 0;
    for (std::size_t i = 1; i <= 6 && i < runs.size(); ++i) startPixels += runs[i].length;
    if (startPixels % 11 != 0) {
        Fail(error, "start character not 11 modules");
        return std::nullopt;
    }
    Code128Reading reading;
    const int m = startPixels / 11;
    reading.moduleWidth = m;
    reading.leftQuietModules = runs.front().length / m;
    reading.rightQuietModules = runs.back().length / m;

    // Inner elements lie between the two quiet zones: six per character,
    // seven for STOP, which must be the last one.
    const std::size_t end = runs.size() - 1;
    std::size_t i = 1;
    bool stopped = false;
    while (i < end) {
        const std::size_t elements = end - i == 7 ? 7 : 6;
        if (end - i < elements) {
            Fail(error, "symbol ends inside a character");
            return std::nullopt;
        }
        std::string widths;
        for (std::size_t k = 0; k < elements; ++k) {
            const Run& r = runs[i + k];
            if (r.length % m != 0) {
                Fail(error, "element not a whole number of modules");
                return std::nullopt;
            }
            widths += static_cast<char>('0' + r.length / m);
        }
        auto it = table.find(widths);
        if (it == table.end()) {
            Fail(error, "unknown pattern " + widths);
            return std::nullopt;
        }
        i += elements;
        if (it->second == 106) {
            stopped = true;
            break;
        }
        reading.values.push_back(it->second);
    }
    if (!stopped || i != end) {
        Fail(error, "no STOP at the end");
        return std::nullopt;
    }
    if (reading.values.size() < 2 || reading.values[0] < 103 || reading.values[0] > 105) {
        Fail(error, "no start character");
        return std::nullopt;
    }
    long long sum = reading.values[0];
    for (std::size_t k = 1; k + 1 < reading.values.size(); ++k) sum += static_cast<long long>(k) * reading.values[k];
    if (sum % 103 != reading.values.back()) {
        Fail(error, "wrong check value");
        return std::nullopt;
    }
    std::vector<int> data(reading.values.begin(), reading.values.end() - 1);
    if (!Interpret(data, reading.text, error)) return std::nullopt;
    return reading;
}

std::optional<PostnetReading> ReadPostnet(const QImage& bitmap, std::string* error) {
    if (bitmap.height() == 0) {
        Fail(error, "empty bitmap");
        return std::nullopt;
    }
    const int bottom = bitmap.height() - 1;
    std::vector<Run> runs = Runs(bitmap, bottom);
    if (runs.size() < 3 || runs.front().dark || runs.back().dark) {
        Fail(error, "no quiet zones");
        return std::nullopt;
    }
    PostnetReading reading;
    reading.barWidth = runs[1].length;
    reading.pitch = runs[1].length + runs[2].length;
    reading.leftQuiet = runs.front().length;
    reading.rightQuiet = runs.back().length;

    // Height of every bar, measured up its first column from the bottom line.
    std::vector<int> heights;
    int x = runs.front().length;
    for (std::size_t i = 1; i + 1 < runs.size(); ++i) {
        if (runs[i].dark) {
            if (runs[i].length != reading.barWidth) {
                Fail(error, "bars of different widths");
                return std::nullopt;
            }
            int h = 0;
            while (h <= bottom && bitmap.constScanLine(bottom - h)[x] < 128) ++h;
            heights.push_back(h);
        } else if (runs[i].length + reading.barWidth != reading.pitch) {
            Fail(error, "uneven bar pitch");
            return std::nullopt;
        }
        x += runs[i].length;
    }
    const int full = heights.front();
    int half = 0;
    std::string bars;
    for (int h : heights) {
        if (h == full) {
            bars += 'F';
        } else if (half == 0 || h == half) {
            half = h;
            bars += 'H';
        } else {
            Fail(error, "more than two bar heights");
            return std::nullopt;
        }
    }
    reading.fullHeight = full;
    reading.halfTop = bitmap.height() - half;
    if (bars.size() < 7 || (bars.size() - 2) % 5 != 0 || bars.front() != 'F' || bars.back() != 'F') {
        Fail(error, "bar count or frame bars wrong");
        return std::nullopt;
    }
    const int weights[5] = {7, 4, 2, 1, 0};
    int sum = 0;
    std::string digits;
    for (std::size_t g = 1; g + 1 < bars.size(); g += 5) {
        int fulls = 0;
        int value = 0;
        for (int b = 0; b < 5; ++b) {
            if (bars[g + b] == 'F') {
                ++fulls;
                value += weights[b];
            }
        }
        if (fulls != 2) {
            Fail(error, "digit without exactly two full bars");
            return std::nullopt;
        }
        if (value == 11) value = 0;
        sum += value;
        digits += static_cast<char>('0' + value);
    }
    if (sum % 10 != 0) {
        Fail(error, "digit sum not a multiple of ten");
        return std::nullopt;
    }
    reading.checkDigit = digits.back() - '0';
    digits.pop_back();
    reading.digits = digits;
    return reading;
}

std::optional<FourStateReading> ReadFourState(const QImage& bitmap, std::string* error) {
    if (bitmap.height() == 0 || bitmap.width() == 0) {
        Fail(error, "empty bitmap");
        return std::nullopt;
    }
    const int middle = bitmap.height() / 2;
    const std::vector<Run> runs = Runs(bitmap, middle);
    if (runs.size() < 3 || runs.front().dark || runs.back().dark) {
        Fail(error, "no quiet zones");
        return std::nullopt;
    }
    FourStateReading reading;
    reading.barWidth = runs[1].length;
    reading.pitch = runs.size() > 3 ? runs[1].length + runs[2].length : 0;
    reading.leftQuiet = runs.front().length;
    reading.rightQuiet = runs.back().length;
    auto dark = [&](int x, int y) { return bitmap.constScanLine(y)[x] < 128; };

    // One extent (first and last dark row) per state, the same for every bar of it.
    std::map<char, std::pair<int, int>> extents;
    int x = runs.front().length;
    for (std::size_t i = 1; i + 1 < runs.size(); ++i) {
        if (runs[i].dark) {
            if (runs[i].length != reading.barWidth) {
                Fail(error, "bars of different widths");
                return std::nullopt;
            }
            int top = middle, bottom = middle;
            while (top > 0 && dark(x, top - 1)) --top;
            while (bottom + 1 < bitmap.height() && dark(x, bottom + 1)) ++bottom;
            for (int c = x; c < x + runs[i].length; ++c)
                for (int y = 0; y < bitmap.height(); ++y)
                    if (dark(c, y) != (y >= top && y <= bottom)) {
                        Fail(error, "a bar that is not one solid rectangle");
                        return std::nullopt;
                    }
            const bool up = top == 0;
            const bool down = bottom == bitmap.height() - 1;
            const char state = up && down ? 'F' : up ? 'A' : down ? 'D' : 'T';
            const auto [it, fresh] = extents.emplace(state, std::make_pair(top, bottom));
            if (!fresh && it->second != std::make_pair(top, bottom)) {
                Fail(error, std::string("bars of state ") + state + " of different heights");
                return std::nullopt;
            }
            reading.states += state;
        } else if (runs[i].length + reading.barWidth != reading.pitch) {
            Fail(error, "uneven bar pitch");
            return std::nullopt;
        }
        x += runs[i].length;
    }
    auto rows = [&](char state) {
        const auto it = extents.find(state);
        return it == extents.end() ? 0 : it->second.second - it->second.first + 1;
    };
    reading.fullHeight = rows('F');
    reading.ascenderHeight = rows('A');
    reading.descenderHeight = rows('D');
    reading.trackerHeight = rows('T');
    return reading;
}

}  // namespace gs::testing
