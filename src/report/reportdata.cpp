#include "report/reportdata.h"

#include "dbase/tzdbf.h"
#include "report/reportmodel.h"

namespace gs {

TableReportData::TableReportData(TTzDbf& table, FieldDisplayRule display)
    : table_(table), display_(std::move(display)) {
    count_ = table_.RecCount();
}

int TableReportData::FieldIndex(const std::string& name) const {
    const auto& defs = table_.FieldDefs();
    for (std::size_t i = 0; i < defs.size(); ++i)
        if (SameName(defs[i].name, name)) return static_cast<int>(i);
    return -1;
}

void TableReportData::Seek(std::uint32_t position) {
    if (position >= count_) throw ReportError("The report asked for a record that the table does not hold.");
    if (!positioned_ || position < position_) {
        table_.First();
        position_ = 0;
        positioned_ = true;
    }
    while (position_ < position && !table_.Eof()) {
        table_.Next();
        ++position_;
    }
    if (table_.Eof()) {
        positioned_ = false;
        throw ReportError("The table holds fewer records than when the report began.");
    }
}

std::string TableReportData::FieldText(int field) {
    std::string text = table_.Fields(field).AsString();
    std::size_t begin = text.find_first_not_of(' ');
    text = begin == std::string::npos ? std::string() : text.substr(begin, text.find_last_not_of(' ') - begin + 1);
    if (display_) text = display_(table_.FieldDefs()[static_cast<std::size_t>(field)].name, std::move(text));
    return text;
}

}  // namespace gs
