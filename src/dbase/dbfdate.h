#pragma once
// Dates of the table store: the calendar date of a D field, its stored form
// "YYYYMMDD", the short date format used for date texts, and the 100-year
// window for two-digit years.
#include <string>
#include <string_view>

namespace gs {

struct DbfDate {
    int year = 0;  // 0: blank date
    int month = 0;
    int day = 0;
    bool IsBlank() const { return year == 0; }
    friend bool operator==(const DbfDate&, const DbfDate&) = default;
};

bool IsValidDate(int year, int month, int day);
DbfDate TodayDate();

// Julian day number; 1 January of year 1 (proleptic Gregorian) is 1721426.
long JulianDay(const DbfDate& d);
DbfDate DateFromJulianDay(long jd);

// The short date format, in the tokens d/dd, M/MM, yy/yyyy with one
// separator character, e.g. "MM/dd/yyyy" (the default) or "dd.MM.yy".
void SetShortDateFormat(std::string format);
const std::string& ShortDateFormat();

// Two-digit years fall into the 100 years that begin 70 years before this
// year (by default the year in which the program started).
void SetDateWindowBaseYear(int year);
int DateWindowBaseYear();

// Date to text in the short date format; days and months always take two
// digits, so a date text is 8 or 10 characters long. A blank date gives the
// blank date text ("  /  /    ").
std::string FormatShortDate(const DbfDate& d);
std::string BlankDateText();

// Reads a text in the short date format. A blank text (only blanks and
// separators) is the blank date. False for anything that is not a date.
bool ParseShortDate(std::string_view text, DbfDate& out);

// The stored form "YYYYMMDD" (8 blanks for a blank date), and back. Parsing
// the stored form accepts 8 blanks or 8 zeros as blank; false for garbage.
std::string DateToStored(const DbfDate& d);
bool DateFromStored(std::string_view stored, DbfDate& out);

}  // namespace gs
