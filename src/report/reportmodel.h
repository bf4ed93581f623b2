#pragma once
// A report project as it stands in memory once its file has been read: the
// fonts, and the named reports, each made of bands of items placed in
// inches. The file format is described in projectreader.h.
#include <QString>

#include <array>
#include <stdexcept>
#include <string>
#include <vector>

namespace gs {

// A report that cannot be read, laid out or produced. The text names the
// project file, and the line where the fault lies when there is one.
class ReportError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct ReportFont {
    std::string name;
    QString face;
    double size = 10;  // points
    bool bold = false;
};

// One piece of a text template: literal text, or a value filled in when the
// item is drawn.
struct TemplatePart {
    enum class Kind {
        Literal,
        Field,      // a field of the current record
        Amount,     // a money field of the current record, two decimals
        Param,      // a report parameter
        Page,       // this page's number
        Pages,      // the number of pages
        Line,       // the current record's running number, from 1
        Count,      // the number of records in the report
        PageCount,  // the number of records on this page
        Sum,        // the sum of a money field over the report
        PageSum,    // the sum of a money field over this page
    };
    Kind kind = Kind::Literal;
    QString text;      // literal text
    std::string name;  // field or parameter name
};
using TextTemplate = std::vector<TemplatePart>;

enum class TextAlign { Left, Center, Right };

struct ReportItem {
    enum class Kind { Text, Rule, Box };
    Kind kind = Kind::Text;
    int line = 0;                        // where it stands in the project file
    double x = 0, y = 0, w = 0, h = 0;   // inches, from the band's top-left corner
    double thick = 0.01;                 // rules and frames, inches
    std::string font;                    // text items
    TextAlign align = TextAlign::Left;
    TextTemplate text;
};

enum class BandKind { PageHeader, ColumnHeader, Detail, PageFooter, Summary };
inline constexpr int kBandKindCount = 5;

struct ReportBand {
    bool present = false;
    bool onlyWithRecords = false;  // left out on pages that list no records
    int line = 0;
    double height = 0;  // inches
    std::vector<ReportItem> items;
};

struct ReportDefinition {
    std::string name;
    std::string connection;
    int line = 0;
    bool landscape = false;
    double marginLeft = 0.5, marginTop = 0.5, marginRight = 0.5, marginBottom = 0.5;
    std::array<ReportBand, kBandKindCount> bands;

    const ReportBand& Band(BandKind kind) const { return bands[static_cast<int>(kind)]; }
    ReportBand& Band(BandKind kind) { return bands[static_cast<int>(kind)]; }
};

struct ReportProjectFile {
    std::string fileName;
    std::vector<ReportFont> fonts;
    std::vector<ReportDefinition> reports;

    // Names match without regard to case; null when there is none.
    const ReportDefinition* FindReport(const std::string& name) const;
    const ReportFont* FindFont(const std::string& name) const;
};

// Case-insensitive comparison of ASCII names (fields, fonts, reports).
bool SameName(const std::string& a, const std::string& b);

}  // namespace gs
