// Field encoding: the field objects and the text forms of C, D, N, F, L
// and M values in the record buffer.
#include "dbase/tzdbf.h"

#include <cctype>
#include <algorithm>
#include <cmath>
#include <cstring>
#include <string_view>

#include "dbase/dbferror.h"
#include "dbase/tzdbf_internal.h"
#include "platform/codepage.h"

namespace gs {

using namespace tzdbf_detail;

const DbfFieldDef& TDbfField::Def() const { return table_->fields_.at(static_cast<std::size_t>(index_)); }

bool TDbfField::IsNull() const {
    if (IsMemoType(DataType())) return table_->MemoBlock(index_) == 0;
    return Trim(table_->FieldSlice(index_)).empty();
}

std::string TDbfField::AsString() const {
    std::string slice = table_->FieldSlice(index_);
    switch (DataType()) {
    case 'C': return TrimRight(slice);
    case 'N':
    case 'F': return Trim(slice);
    case 'L': return AsBoolean() ? "True" : "False";
    case 'D': {
        DbfDate d = AsDate();
        return d.IsBlank() ? "" : FormatShortDate(d);
    }
    default: return table_->GetMemoText(FieldName());
    }
}

void TDbfField::SetAsString(const std::string& text) {
    if (table_->state_ != TDataSetState::dsEdit && table_->state_ != TDataSetState::dsInsert)
        throw DatasetError("Dataset not in edit or insert mode");
    table_->SetText(index_, text);
}

DbfDate TDbfField::AsDate() const {
    if (DataType() != 'D') throw DatasetError("Field '" + FieldName() + "' is not a date field");
    DbfDate d;
    std::string slice = table_->FieldSlice(index_);
    if (!DateFromStored(slice, d))
        throw DatasetError("'" + slice + "' is not a valid date in field " + FieldName());
    return d;
}

void TDbfField::SetAsDate(const DbfDate& d) {
    if (DataType() != 'D') throw DatasetError("Field '" + FieldName() + "' is not a date field");
    if (table_->state_ != TDataSetState::dsEdit && table_->state_ != TDataSetState::dsInsert)
        throw DatasetError("Dataset not in edit or insert mode");
    if (!d.IsBlank() && !IsValidDate(d.year, d.month, d.day)) throw DatasetError("Invalid date");
    table_->PutSlice(index_, DateToStored(d));
}

double TDbfField::AsFloat() const {
    double v = 0;
    std::string slice = table_->FieldSlice(index_);
    if ((DataType() != 'N' && DataType() != 'F') || !ParseNumber(slice, v))
        throw DatasetError("'" + Trim(slice) + "' is not a valid floating point value");
    return v;
}

void TDbfField::SetAsFloat(double v) {
    if (DataType() != 'N' && DataType() != 'F') throw DatasetError("Field '" + FieldName() + "' is not numeric");
    if (table_->state_ != TDataSetState::dsEdit && table_->state_ != TDataSetState::dsInsert)
        throw DatasetError("Dataset not in edit or insert mode");
    table_->PutSlice(index_, FormatNumber(v, Size(), Decimals()));
}

std::int32_t TDbfField::AsInteger() const {
    double v = AsFloat();
    if (v < -2147483648.0 || v > 2147483647.0) throw DatasetError("Value out of range for an integer");
    return static_cast<std::int32_t>(v);
}

void TDbfField::SetAsInteger(std::int32_t v) { SetAsFloat(v); }

bool TDbfField::AsBoolean() const {
    char c = table_->FieldSlice(index_).empty() ? ' ' : table_->FieldSlice(index_)[0];
    return c == 'T' || c == 't' || c == 'Y' || c == 'y';
}

void TDbfField::SetAsBoolean(bool v) {
    if (table_->state_ != TDataSetState::dsEdit && table_->state_ != TDataSetState::dsInsert)
        throw DatasetError("Dataset not in edit or insert mode");
    table_->PutSlice(index_, v ? "T" : "F");
}

void TDbfField::Clear() {
    if (table_->state_ != TDataSetState::dsEdit && table_->state_ != TDataSetState::dsInsert)
        throw DatasetError("Dataset not in edit or insert mode");
    table_->PutSlice(index_, std::string(static_cast<std::size_t>(Size()), ' '));
}

namespace {
// A field name as given (any case) against a stored one (upper case). The
// letters a..z fold without the C library; other bytes as toupper does.
bool SameFieldName(std::string_view given, const std::string& stored) {
    if (given.size() != stored.size()) return false;
    for (std::size_t k = 0; k < given.size(); ++k) {
        const auto c = static_cast<unsigned char>(given[k]);
        const auto f = static_cast<unsigned char>(stored[k]);
        if (c == f) continue;
        if (c >= 'a' && c <= 'z') {
            if (c - ('a' - 'A') != f) return false;
        } else if (c < 0x80 || std::toupper(c) != f) {
            return false;
        }
    }
    return true;
}
}  // namespace

int TTzDbf::FieldIndex(const std::string& name) const {
    // Called for every field read or set by name. Callers mostly go through
    // the fields in order, so the search starts after the field found last.
    std::string_view n(name);
    if (!n.empty() && (n.front() == ' ' || n.back() == ' ')) {
        const std::size_t a = n.find_first_not_of(' ');
        n = a == std::string_view::npos ? std::string_view() : n.substr(a, n.find_last_not_of(' ') - a + 1);
    }
    n = n.substr(0, 10);
    const std::size_t count = fields_.size();
    for (std::size_t k = 0; k < count; ++k) {
        std::size_t i = lookupHint_ + k;
        if (i >= count) i -= count;
        if (SameFieldName(n, fields_[i].name)) {
            lookupHint_ = i + 1 < count ? i + 1 : 0;
            return static_cast<int>(i);
        }
    }
    return -1;
}

int TTzDbf::RequireField(const std::string& name) {
    int i = FieldIndex(name);
    if (i < 0) throw DatasetError("Field '" + name + "' not found");
    return i;
}

TDbfField* TTzDbf::FindField(const std::string& name) {
    int i = FieldIndex(name);
    return i < 0 ? nullptr : fieldObjs_[static_cast<std::size_t>(i)].get();
}

TDbfField& TTzDbf::FieldByName(const std::string& name) {
    TDbfField* f = FindField(name);
    if (!f) throw DatasetError("Field '" + name + "' not found");
    return *f;
}

void TTzDbf::PutSlice(int i, const std::string& value) {
    // The value cut or padded with blanks to the field's length, in place.
    const DbfFieldDef& f = fields_[static_cast<std::size_t>(i)];
    const std::size_t len = static_cast<std::size_t>(f.length);
    const std::size_t n = std::min(value.size(), len);
    char* at = buffer_.data() + 1 + f.offset;
    std::memcpy(at, value.data(), n);
    std::memset(at + n, ' ', len - n);
}

std::string TTzDbf::GetText(int i) {
    const DbfFieldDef& f = fields_[static_cast<std::size_t>(i)];
    std::string slice = FieldSlice(i);
    switch (f.type) {
    case 'C': return slice;
    case 'N':
    case 'F': return RightAlign(Trim(slice), f.length);
    case 'L': return fieldObjs_[static_cast<std::size_t>(i)]->AsBoolean() ? "T" : "F";
    case 'D': {
        std::string t = FormatShortDate(fieldObjs_[static_cast<std::size_t>(i)]->AsDate());
        if (t.size() != 8 && t.size() != 10) t = BlankDateText();
        return t;
    }
    default: {
        std::string raw = ReadMemoRaw(i);
        if (TableLanguage == tlOem) raw = OemToAnsi(raw);
        return raw;
    }
    }
}

void TTzDbf::SetText(int i, const std::string& text) {
    const DbfFieldDef& f = fields_[static_cast<std::size_t>(i)];
    switch (f.type) {
    case 'C': PutSlice(i, text); break;
    case 'N':
    case 'F': {
        if (Trim(text).empty()) {
            PutSlice(i, std::string(static_cast<std::size_t>(f.length), ' '));
            break;
        }
        double v;
        if (!ParseNumber(text, v))
            throw DatasetError("'" + text + "' is not a valid " +
                               (f.decimals ? "floating point" : "integer") + " value");
        if (f.decimals == 0 && v != std::trunc(v))
            throw DatasetError("'" + text + "' is not a valid integer value");
        PutSlice(i, FormatNumber(v, f.length, f.decimals));
        break;
    }
    case 'L': {
        std::string t = Trim(text);
        char c = t.empty() ? 'F' : t[0];
        PutSlice(i, (c == 'T' || c == 't' || c == 'Y' || c == 'y') ? "T" : "F");
        break;
    }
    case 'D': {
        DbfDate d;
        if (!ParseShortDate(text, d)) throw DatasetError("'" + text + "' is not a valid date");
        PutSlice(i, DateToStored(d));
        break;
    }
    default: {
        std::string raw = TableLanguage == tlOem ? AnsiToOem(text) : text;
        WriteMemoRaw(i, raw);
        break;
    }
    }
}

std::string TTzDbf::GetFieldText(const std::string& fieldName) { return GetText(RequireField(fieldName)); }

void TTzDbf::SetFieldText(const std::string& fieldName, const std::string& text) {
    int i = RequireField(fieldName);
    EnsureEditing();
    SetText(i, text);
}

void TTzDbf::SetFieldText(int fieldNo, const std::string& text) {
    if (fieldNo < 0 || fieldNo >= FieldCount()) throw DatasetError("Field " + std::to_string(fieldNo) + " not found");
    if (state_ != TDataSetState::dsEdit && state_ != TDataSetState::dsInsert) EnsureEditing();
    // Character fields, nearly all of a log record, take the text as it is.
    if (fields_[static_cast<std::size_t>(fieldNo)].type == 'C') PutSlice(fieldNo, text);
    else SetText(fieldNo, text);
}

}  // namespace gs
