#include "dbase/dbfdate.h"

#include <cctype>
#include <ctime>

namespace gs {

namespace {
int StartYear() {
    std::time_t t = std::time(nullptr);
    std::tm tmv {};
    localtime_r(&t, &tmv);
    return tmv.tm_year + 1900;
}
int& BaseYearRef() {
    static int y = StartYear();
    return y;
}

struct FormatInfo {
    char order[3] = {'M', 'd', 'y'};
    char sep = '/';
    bool fourDigitYear = true;
};

FormatInfo ParseFormat(const std::string& f);

// The short date format and its reading, kept together so that a date is
// read or written without taking the format apart each time.
struct DateFormat {
    std::string text = "MM/dd/yyyy";
    FormatInfo info;  // the default one reads "MM/dd/yyyy"
};
DateFormat& FormatRef() {
    static DateFormat f;
    return f;
}

FormatInfo ParseFormat(const std::string& f) {
    FormatInfo info;
    int n = 0;
    char seen[3] = {0, 0, 0};
    bool sepSet = false;
    for (std::size_t i = 0; i < f.size();) {
        char c = f[i];
        if (c == 'd' || c == 'D' || c == 'M' || c == 'm' || c == 'y' || c == 'Y') {
            char key = (c == 'D') ? 'd' : (c == 'm') ? 'M' : (c == 'Y') ? 'y' : c;
            std::size_t j = i;
            while (j < f.size() && f[j] == c) ++j;
            if (key == 'y') info.fourDigitYear = (j - i) != 2;
            if (n < 3) seen[n++] = key;
            i = j;
        } else {
            if (!sepSet) {
                info.sep = c;
                sepSet = true;
            }
            ++i;
        }
    }
    if (n == 3 && seen[0] != seen[1] && seen[1] != seen[2] && seen[0] != seen[2])
        for (int k = 0; k < 3; ++k) info.order[k] = seen[k];
    return info;
}

int DaysInMonth(int y, int m) {
    static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (m == 2 && ((y % 4 == 0 && y % 100 != 0) || y % 400 == 0)) return 29;
    return days[m - 1];
}

// A date part (never negative) in decimal, with leading zeros to width
// digits.
void Put(std::string& s, int v, int width) {
    char digits[12];
    int n = 0;
    unsigned u = static_cast<unsigned>(v);
    do {
        digits[n++] = static_cast<char>('0' + u % 10);
        u /= 10;
    } while (u != 0);
    for (int k = n; k < width; ++k) s += '0';
    while (n > 0) s += digits[--n];
}
}  // namespace

bool IsValidDate(int y, int m, int d) {
    return y >= 1 && y <= 9999 && m >= 1 && m <= 12 && d >= 1 && d <= DaysInMonth(y, m);
}

DbfDate TodayDate() {
    std::time_t t = std::time(nullptr);
    std::tm tmv {};
    localtime_r(&t, &tmv);
    return {tmv.tm_year + 1900, tmv.tm_mon + 1, tmv.tm_mday};
}

long JulianDay(const DbfDate& dt) {
    // Gregorian calendar to Julian day number (Fliegel and Van Flandern).
    long y = dt.year, m = dt.month, d = dt.day;
    long a = (14 - m) / 12;
    long yy = y + 4800 - a;
    long mm = m + 12 * a - 3;
    return d + (153 * mm + 2) / 5 + 365 * yy + yy / 4 - yy / 100 + yy / 400 - 32045;
}

DbfDate DateFromJulianDay(long jd) {
    long a = jd + 32044;
    long b = (4 * a + 3) / 146097;
    long c = a - 146097 * b / 4;
    long d = (4 * c + 3) / 1461;
    long e = c - 1461 * d / 4;
    long m = (5 * e + 2) / 153;
    DbfDate r;
    r.day = static_cast<int>(e - (153 * m + 2) / 5 + 1);
    r.month = static_cast<int>(m + 3 - 12 * (m / 10));
    r.year = static_cast<int>(100 * b + d - 4800 + m / 10);
    return r;
}

void SetShortDateFormat(std::string format) {
    FormatRef().info = ParseFormat(format);
    FormatRef().text = std::move(format);
}
const std::string& ShortDateFormat() { return FormatRef().text; }
void SetDateWindowBaseYear(int year) { BaseYearRef() = year; }
int DateWindowBaseYear() { return BaseYearRef(); }

std::string FormatShortDate(const DbfDate& d) {
    if (d.IsBlank()) return BlankDateText();
    const FormatInfo& f = FormatRef().info;
    std::string s;
    s.reserve(10);
    for (int k = 0; k < 3; ++k) {
        if (k) s += f.sep;
        switch (f.order[k]) {
        case 'd': Put(s, d.day, 2); break;
        case 'M': Put(s, d.month, 2); break;
        default: Put(s, f.fourDigitYear ? d.year : d.year % 100, f.fourDigitYear ? 4 : 2); break;
        }
    }
    return s;
}

std::string BlankDateText() {
    const FormatInfo& f = FormatRef().info;
    std::string s;
    for (int k = 0; k < 3; ++k) {
        if (k) s += f.sep;
        s += std::string(f.order[k] == 'y' && f.fourDigitYear ? 4 : 2, ' ');
    }
    return s;
}

bool ParseShortDate(std::string_view text, DbfDate& out) {
    const FormatInfo& f = FormatRef().info;
    // Split into digit groups of at most four digits; a blank text has none.
    int values[3] = {0, 0, 0};
    int lengths[3] = {0, 0, 0};
    int n = 0;
    bool inDigits = false;
    for (char c : text) {
        if (c >= '0' && c <= '9') {
            if (!inDigits) {
                if (n == 3) return false;
                ++n;
                inDigits = true;
            }
            if (++lengths[n - 1] > 4) return false;
            values[n - 1] = values[n - 1] * 10 + (c - '0');
        } else {
            inDigits = false;
            if (c != ' ' && c != f.sep && c != '/' && c != '.' && c != '-') return false;
        }
    }
    if (n == 0) {
        out = DbfDate {};
        return true;
    }
    if (n != 3) return false;  // digits without separators are no date either
    int day = 0, month = 0, year = 0;
    bool twoDigitYear = false;
    for (int k = 0; k < 3; ++k) {
        switch (f.order[k]) {
        case 'd': if (lengths[k] > 2) return false; day = values[k]; break;
        case 'M': if (lengths[k] > 2) return false; month = values[k]; break;
        default: year = values[k]; twoDigitYear = lengths[k] <= 2; break;
        }
    }
    if (twoDigitYear) {
        int start = BaseYearRef() - 70;
        int century = start - ((start % 100) + 100) % 100;
        year += century;
        if (year < start) year += 100;
    }
    if (!IsValidDate(year, month, day)) return false;
    out = {year, month, day};
    return true;
}

std::string DateToStored(const DbfDate& d) {
    if (d.IsBlank()) return std::string(8, ' ');
    if (d.year >= 0 && d.year <= 9999 && d.month >= 0 && d.month <= 99 && d.day >= 0 && d.day <= 99) {
        // Every log append stores a date: the eight digits in place.
        std::string s(8, '0');
        const int parts[] = {d.year / 100, d.year % 100, d.month, d.day};
        for (int k = 0; k < 4; ++k) {
            s[static_cast<std::size_t>(2 * k)] = static_cast<char>('0' + parts[k] / 10);
            s[static_cast<std::size_t>(2 * k + 1)] = static_cast<char>('0' + parts[k] % 10);
        }
        return s;
    }
    std::string s;
    s.reserve(8);
    Put(s, d.year, 4);
    Put(s, d.month, 2);
    Put(s, d.day, 2);
    return s;
}

bool DateFromStored(std::string_view s, DbfDate& out) {
    if (s.size() != 8) return false;
    if (s.find_first_not_of(' ') == std::string_view::npos ||
        s.find_first_not_of('0') == std::string_view::npos) {
        out = DbfDate {};
        return true;
    }
    for (char c : s)
        if (!std::isdigit(static_cast<unsigned char>(c))) return false;
    int y = (s[0] - '0') * 1000 + (s[1] - '0') * 100 + (s[2] - '0') * 10 + (s[3] - '0');
    int m = (s[4] - '0') * 10 + (s[5] - '0');
    int d = (s[6] - '0') * 10 + (s[7] - '0');
    if (!IsValidDate(y, m, d)) return false;
    out = {y, m, d};
    return true;
}

}  // namespace gs
