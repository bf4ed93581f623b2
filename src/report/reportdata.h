#pragma once
// The records a report lists: a data connection hands them to the engine in
// the table's current order.
#include <cstdint>
#include <functional>
#include <string>

namespace gs {

class TTzDbf;

// Takes a field's name and its trimmed text, returns the text to show.
using FieldDisplayRule = std::function<std::string(const std::string& field, std::string text)>;

class ReportData {
public:
    virtual ~ReportData() = default;
    // The field's index for FieldText, -1 when the data has no such field
    // (names match without regard to case).
    virtual int FieldIndex(const std::string& name) const = 0;
    // The number of records the report lists; fixed when the data is taken.
    virtual std::uint32_t RecordCount() const = 0;
    // Makes the record at this 0-based position of the order the current one.
    virtual void Seek(std::uint32_t position) = 0;
    // A field of the current record as Windows-1252 text, blanks at both ends
    // removed; a blank date is empty.
    virtual std::string FieldText(int field) = 0;
};

// The records of an open table in its current order (an index made the order
// or record order), records marked deleted included. The count is taken at
// construction, so records that other running copies append later are not
// listed. Moving forward costs one step per record; moving back starts again
// at the first record.
class TableReportData : public ReportData {
public:
    explicit TableReportData(TTzDbf& table, FieldDisplayRule display = {});
    int FieldIndex(const std::string& name) const override;
    std::uint32_t RecordCount() const override { return count_; }
    void Seek(std::uint32_t position) override;
    std::string FieldText(int field) override;

private:
    TTzDbf& table_;
    FieldDisplayRule display_;
    std::uint32_t count_ = 0;
    std::uint32_t position_ = 0;
    bool positioned_ = false;
};

}  // namespace gs
