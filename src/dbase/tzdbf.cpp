#include "dbase/tzdbf.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <charconv>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

#include "dbase/dbferror.h"
#include "platform/codepage.h"
#include "platform/filelock.h"
#include "platform/oserror.h"

namespace gs {

namespace {

std::string Trim(const std::string& s) {
    std::size_t a = s.find_first_not_of(' ');
    if (a == std::string::npos) return "";
    std::size_t b = s.find_last_not_of(' ');
    return s.substr(a, b - a + 1);
}
std::string TrimRight(const std::string& s) {
    std::size_t b = s.find_last_not_of(' ');
    return b == std::string::npos ? "" : s.substr(0, b + 1);
}
std::string Upper(std::string s) {
    for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return s;
}
bool IsMemoType(char t) { return t == 'M' || t == 'B' || t == 'G' || t == 'P'; }
bool IsKnownType(char t) {
    return t == 'C' || t == 'D' || t == 'N' || t == 'F' || t == 'L' || IsMemoType(t);
}
bool ParseListInt(const std::string& item, int& out) {
    std::string t;
    for (char c : item)
        if (c != ' ' && c != '\t') t += c;
    if (!t.empty() && t[0] == '+') t.erase(0, 1);
    if (t.empty()) return false;
    auto r = std::from_chars(t.data(), t.data() + t.size(), out);
    return r.ec == std::errc() && r.ptr == t.data() + t.size();
}
std::string RightAlign(const std::string& s, int width) {
    if (static_cast<int>(s.size()) >= width) return s.substr(0, static_cast<std::size_t>(width));
    return std::string(static_cast<std::size_t>(width) - s.size(), ' ') + s;
}
std::string TypeName(const DbfFieldDef& f) {
    switch (f.type) {
    case 'C': return "Character";
    case 'D': return "Date";
    case 'L': return "Logical";
    case 'N':
    case 'F':
        return "Numeric, width: " + std::to_string(f.length) + " decimals: " + std::to_string(f.decimals);
    default: return std::string(1, f.type);
    }
}
// The number in the stored form; false when it is no number.
bool ParseNumber(const std::string& text, double& out) {
    std::string t = Trim(text);
    if (t.empty()) {
        out = 0;
        return true;
    }
    if (t[0] == '+') t.erase(0, 1);
    const char* b = t.data();
    const char* e = b + t.size();
    auto r = std::from_chars(b, e, out);
    return r.ec == std::errc() && r.ptr == e && std::isfinite(out);
}
std::string FormatNumber(double v, int length, int decimals) {
    char buf[400];
    std::snprintf(buf, sizeof buf, "%.*f", decimals, v);
    std::string s = buf;
    if (s == "-0" || (s.size() > 1 && s[0] == '-' && s.find_first_not_of("-0.") == std::string::npos))
        s.erase(0, 1);
    if (static_cast<int>(s.size()) > length) return std::string(static_cast<std::size_t>(length), '*');
    return RightAlign(s, length);
}
void PutU32(char* p, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) p[i] = static_cast<char>((v >> (8 * i)) & 0xFF);
}
std::vector<std::string> SplitMemoLines(const std::string& raw) {
    // CR LF, a lone CR or a lone LF end a line; the soft break 8D 0A of other
    // dBase editors joins the two parts again.
    std::vector<std::string> lines;
    std::string cur;
    for (std::size_t i = 0; i < raw.size(); ++i) {
        char c = raw[i];
        if (static_cast<unsigned char>(c) == 0x8D && i + 1 < raw.size() && raw[i + 1] == '\n') {
            ++i;
            continue;
        }
        if (c == '\r' || c == '\n') {
            lines.push_back(cur);
            cur.clear();
            if (c == '\r' && i + 1 < raw.size() && raw[i + 1] == '\n') ++i;
        } else {
            cur += c;
        }
    }
    if (!cur.empty()) lines.push_back(cur);
    return lines;
}

constexpr std::size_t kChunkRecords = 8192;

// Adds ".DBF" to a name without extension; an existing "name.dbf" written
// by another program is found too.
std::string WithDbfExtension(const std::string& name) {
    if (name.empty() || dbfio::HasExtension(name)) return name;
    if (!dbfio::FileExists(name + ".DBF") && dbfio::FileExists(name + ".dbf")) return name + ".dbf";
    return name + ".DBF";
}

}  // namespace

bool ParseFieldListLine(const std::string& line, FieldListEntry& out) {
    out = FieldListEntry {};
    if (std::count(line.begin(), line.end(), ',') != 3) return false;
    std::size_t c1 = line.find(','), c2 = line.find(',', c1 + 1), c3 = line.find(',', c2 + 1);
    out.name = Trim(line.substr(0, c1)).substr(0, 10);
    std::string typeItem = line.substr(c1 + 1, c2 - c1 - 1);
    out.typeText = typeItem.empty() ? "" : typeItem.substr(0, 1);
    if (!ParseListInt(line.substr(c2 + 1, c3 - c2 - 1), out.length)) return false;
    if (!ParseListInt(line.substr(c3 + 1), out.decimals)) return false;
    char t = out.typeText.empty() ? ' ' : out.typeText[0];
    if (t == 'X') {
        out.skip = true;
        return true;
    }
    int len = out.length, dec = out.decimals;
    if (std::string("BCDFGLMNP").find(t) == std::string::npos || t == '\0') t = 'C';
    if (t == 'N') {
        if (len > 20) len = 20;
        if (dec > 18) dec = 18;
        if (dec != 0 && len - dec < 2) dec = std::max(0, len - 2);
    } else if (t == 'C' && len > 254) {
        len = 254;
        dec = 0;
    }
    out.type = t;
    out.newLength = len;
    out.newDecimals = dec;
    out.corrected = (out.typeText.empty() || t != out.typeText[0]) || len != out.length || dec != out.decimals;
    return true;
}

// ---------------------------------------------------------------- fields

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

// ---------------------------------------------------------------- table

TTzDbf::TTzDbf(std::string componentName) : Name(std::move(componentName)) {}

TTzDbf::~TTzDbf() {
    try {
        Close();
    } catch (...) {
        CloseHandles();
    }
}

void TTzDbf::SetDbfFileName(const std::string& path) {
    bool wasOpen = Active();
    if (wasOpen) Close();
    fileName_ = WithDbfExtension(Trim(path));
    if (wasOpen) Open();
}

void TTzDbf::SetExclusive(bool on) {
    if (on == exclusive_) return;
    bool wasOpen = Active();
    if (wasOpen) Close();
    exclusive_ = on;
    if (wasOpen) Open();
}

void TTzDbf::CheckOpen(const char* op) const {
    if (!Active())
        RaiseDbfError(dbferr::kInvalidOperation, std::string("Database is not open") + " [" + Name + "." + op + "]");
}

bool TTzDbf::CreateTable() {
    auto fail = [&]() {
        ShowDbfMessage("Could not create \"" + fileName_ + "\"");
        return false;
    };
    if (DbfFields.empty()) {
        ShowDbfMessage("FieldList.Count is <= 0 trying to create a database");
        return fail();
    }
    std::vector<DbfFieldDef> defs;
    for (const std::string& line : DbfFields) {
        FieldListEntry e;
        if (!ParseFieldListLine(line, e)) return fail();
        if (e.skip) continue;
        if (e.corrected) {
            char buf[512];
            std::snprintf(buf, sizeof buf,
                          "Invalid field definition for %s: %s,%s,%d,%d. Will use corrected definition: %s,%s,%d,%d",
                          Name.c_str(), e.name.c_str(), e.typeText.c_str(), e.length, e.decimals, e.name.c_str(),
                          std::string(1, e.type).c_str(), e.newLength, e.newDecimals);
            ShowDbfMessage(buf);
        }
        DbfFieldDef d;
        d.name = Upper(e.name);
        d.type = e.type;
        d.length = e.newLength;
        d.decimals = (e.type == 'N' || e.type == 'F') ? e.newDecimals : 0;
        if (d.type == 'D') d.length = 8;
        if (d.type == 'L') d.length = 1;
        if (IsMemoType(d.type)) d.length = 10;
        if (d.length <= 0 || d.length > 254 || d.name.empty()) return fail();
        if (d.decimals < 0 || (d.decimals > 0 && d.decimals >= d.length)) d.decimals = std::max(0, std::min(d.decimals, d.length - 2));
        defs.push_back(d);
    }
    if (defs.empty() || defs.size() > 255) return fail();
    std::uint32_t recLen = 1;
    bool memo = false;
    for (const auto& d : defs) {
        recLen += static_cast<std::uint32_t>(d.length);
        memo = memo || IsMemoType(d.type);
    }
    if (recLen > 65535) return fail();
    std::uint32_t hdrLen = 32 + 32 * static_cast<std::uint32_t>(defs.size()) + 1;
    std::string h(hdrLen + 1, '\0');
    h[0] = static_cast<char>(memo ? 0x8B : 0x03);
    DbfDate today = TodayDate();
    h[1] = static_cast<char>(today.year - 1900);
    h[2] = static_cast<char>(today.month);
    h[3] = static_cast<char>(today.day);
    h[8] = static_cast<char>(hdrLen & 0xFF);
    h[9] = static_cast<char>(hdrLen >> 8);
    h[10] = static_cast<char>(recLen & 0xFF);
    h[11] = static_cast<char>(recLen >> 8);
    for (std::size_t i = 0; i < defs.size(); ++i) {
        char* p = &h[32 + 32 * i];
        std::memcpy(p, defs[i].name.data(), std::min<std::size_t>(10, defs[i].name.size()));
        p[11] = defs[i].type;
        p[16] = static_cast<char>(defs[i].length);
        p[17] = static_cast<char>(defs[i].decimals);
    }
    h[hdrLen - 1] = 0x0D;
    h[hdrLen] = 0x1A;
    dbfio::FileHandle f;
    if (!f.Open(fileName_, O_RDWR | O_CREAT | O_EXCL)) return fail();
    if (!f.WriteAt(h.data(), h.size(), 0)) {
        f.Close();
        ::unlink(fileName_.c_str());
        return fail();
    }
    f.Close();
    if (memo) {
        std::string memoName = dbfio::CompanionName(fileName_, ".DBT");
        if (!MemoFile::Create(memoName, dbfio::BaseNameNoExt(fileName_))) {
            ::unlink(fileName_.c_str());
            return fail();
        }
    }
    return true;
}

void TTzDbf::Open() {
    if (Active()) return;
    fileName_ = WithDbfExtension(fileName_);
    if (!dbfio::FileExists(fileName_) && CreateIfNotFound && !ReadOnly) CreateTable();
    int err = OpenHandles(exclusive_, false);
    (void)err;
    First();
}

int TTzDbf::OpenHandles(bool exclusive, bool quietConflict) {
    openReadOnly_ = ReadOnly;
    if (!file_.Open(fileName_, ReadOnly ? O_RDONLY : O_RDWR)) {
        int code = LastOsErrorCode();
        if (quietConflict) return code;
        RaiseDbfError(code, "Failure to open " + fileName_ + " [USE/OpenDbf]");
    }
    if (!AcquireShareMode(file_.Fd(), exclusive && !ReadOnly)) {
        file_.Close();
        if (quietConflict) return dbferr::kSharingViolation;
        RaiseDbfError(dbferr::kSharingViolation, "Failure to open " + fileName_ + " [USE/OpenDbf]");
    }
    openExclusive_ = exclusive && !ReadOnly;
    try {
        ReadStructure();
    } catch (...) {
        CloseHandles();
        throw;
    }
    state_ = TDataSetState::dsBrowse;
    return 0;
}

void TTzDbf::ReadStructure() {
    auto notDbase = [&](const std::string& why, const std::string& tail) {
        RaiseDbfError(dbferr::kNotDbase, fileName_ + " is not a dBASE database." + why + tail);
    };
    unsigned char h[32];
    long long got = file_.ReadAt(h, 32, 0);
    if (got < 32) notDbase(" (Prolog is less than 32 bytes", ") [USE/OpenDBF]");
    version_ = h[0];
    switch (version_) {
    case 0x02: case 0x03: case 0x04: case 0x83: case 0x8B: case 0x8C: case 0xF5: break;
    default: notDbase("(Invalid version byte", ")+ [USE/OpenDBF]");
    }
    headerLen_ = h[8] | (h[9] << 8);
    recLen_ = h[10] | (h[11] << 8);
    std::uint32_t nDesc = headerLen_ >= 32 ? (headerLen_ - 32) / 32 : 0;
    if (nDesc < 1 || nDesc > 255) notDbase(" (Number of fields is out of range", ") [Use/OpenDbf]");
    long long size = file_.Size();
    std::string desc(32 * std::size_t(nDesc), '\0');
    long long dgot = file_.ReadAt(desc.data(), desc.size(), 32);
    if (dgot < 0) RaiseDbfError(LastOsErrorCode(), "Failure to open " + fileName_ + " [USE/OpenDbf]");
    fields_.clear();
    int offset = 0;
    for (std::uint32_t i = 0; i < nDesc; ++i) {
        std::size_t at = 32 * std::size_t(i);
        if (at < static_cast<std::size_t>(dgot) && desc[at] == 0x0D) break;
        if (at + 32 > static_cast<std::size_t>(dgot)) notDbase(" (Header is larger than the file", ") [USE/OpenDBF]");
        const unsigned char* p = reinterpret_cast<const unsigned char*>(desc.data() + at);
        DbfFieldDef f;
        for (int k = 0; k < 11 && p[k] != 0; ++k) f.name += static_cast<char>(std::toupper(p[k]));
        f.type = static_cast<char>(p[11]);
        f.length = p[16];
        f.decimals = p[17];
        if (!IsKnownType(f.type)) {
            std::string t = f.type >= 32 && f.type < 127 ? std::string(1, f.type)
                                                          : "#" + std::to_string(static_cast<unsigned char>(f.type));
            RaiseDbfError(dbferr::kBadFieldType,
                          fileName_ + ": field " + f.name + ": \"" + t + "\" is not a valid field type");
        }
        if (f.type == 'C' && f.decimals != 0) {  // wide character fields of other xBase programs
            f.length += f.decimals * 256;
            f.decimals = 0;
        }
        if ((f.type == 'D' && f.length != 8) || (f.type == 'L' && f.length < 1) ||
            (IsMemoType(f.type) && f.length < 1) || ((f.type == 'N' || f.type == 'F') && f.length > 0 && f.decimals >= f.length))
            RaiseDbfError(dbferr::kBadFieldType,
                          fileName_ + ": field " + f.name + ": length " + std::to_string(f.length) +
                              " is not a valid field type");
        if (f.type != 'N' && f.type != 'F') f.decimals = 0;
        f.offset = offset;
        offset += f.length;
        fields_.push_back(f);
    }
    if (fields_.empty()) notDbase(" (Number of fields is out of range", ") [Use/OpenDbf]");
    if (recLen_ < static_cast<std::uint32_t>(offset) + 1)
        notDbase(" (Record length does not match the fields", ") [USE/OpenDBF]");
    hasMemo_ = false;
    for (const auto& f : fields_) hasMemo_ = hasMemo_ || IsMemoType(f.type);

    std::uint32_t headerCount = static_cast<std::uint32_t>(h[4]) | (h[5] << 8) | (h[6] << 16) |
                                (static_cast<std::uint32_t>(h[7]) << 24);
    std::uint64_t fits = size > static_cast<long long>(headerLen_)
                             ? (static_cast<std::uint64_t>(size) - headerLen_) / recLen_ : 0;
    if (AutoFixRecCount) {
        count_ = static_cast<std::uint32_t>(std::min<std::uint64_t>(fits, UINT32_MAX));
    } else {
        if (headerCount > fits)
            notDbase(" (Record count is larger than the file", ") [USE/OpenDBF]");
        count_ = headerCount;
    }

    fieldObjs_.clear();
    for (std::size_t i = 0; i < fields_.size(); ++i)
        fieldObjs_.push_back(std::make_unique<TDbfField>(this, static_cast<int>(i)));
    buffer_.assign(recLen_, ' ');
    raw_.assign(recLen_, ' ');
    freshMemo_.assign(fields_.size(), 0);

    if (hasMemo_) {
        std::string memoName = dbfio::FindCompanion(fileName_, ".DBT");
        MemoFile::Kind kind = version_ == 0x83 ? MemoFile::Kind::DBase3 : MemoFile::Kind::DBase4;
        if (!memo_.Open(memoName, openReadOnly_, Shared(), kind))
            RaiseDbfError(LastOsErrorCode(), "Memo file not found: " + memoName + " [USE]");
    }
}

void TTzDbf::FlushHeader() {
    if (!file_.IsOpen() || openReadOnly_ || !(changed_ || appended_)) return;
    auto fail = [&]() {
        RaiseDbfError(LastOsErrorCode(), "File:  " + fileName_ + " [CloseDbf(" + fileName_ + ")]");
    };
    // Another copy may be appending: hold the append lock while the count and
    // the end marker are written, so the marker never lands on its record.
    bool tookLock = false;
    bool locked = !Shared() || appendLocked_;
    if (!locked) {
        for (int i = 0; i < 50 && !locked; ++i) {
            locked = LockRange(file_.Fd(), kLockBase + 1, 1);
            if (!locked) std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
        tookLock = locked;
    }
    if (Shared()) {
        long long size = file_.Size();
        if (size < 0) fail();
        std::uint64_t fits = static_cast<std::uint64_t>(size) > headerLen_
                                 ? (static_cast<std::uint64_t>(size) - headerLen_) / recLen_ : 0;
        if (locked && fits > count_) count_ = static_cast<std::uint32_t>(fits);
    }
    unsigned char h[32];
    if (file_.ReadAt(h, 32, 0) != 32) fail();
    DbfDate today = TodayDate();
    h[1] = static_cast<unsigned char>(today.year - 1900);
    h[2] = static_cast<unsigned char>(today.month);
    h[3] = static_cast<unsigned char>(today.day);
    if (locked) PutU32(reinterpret_cast<char*>(h + 4), count_);
    if (!file_.WriteAt(h, 32, 0)) fail();
    if (appended_ && locked) {
        const char eofMark = 0x1A;
        if (!file_.WriteAt(&eofMark, 1, RecordOffset(count_ + 1))) fail();
    }
    if (tookLock) UnlockRange(file_.Fd(), kLockBase + 1, 1);
    changed_ = appended_ = false;
}

void TTzDbf::CloseHandles() {
    memo_.Close();
    file_.Close();
    indexFile_.Close();
    index_.reset();
    indexPath_.clear();
    indexDirty_ = false;
    state_ = TDataSetState::dsInactive;
    appendLocked_ = false;
    recLocks_.clear();
    recNo_ = 0;
    eof_ = bof_ = true;
    detached_ = explicitEdit_ = false;
    changed_ = appended_ = false;
}

void TTzDbf::Close() {
    if (!Active()) return;
    if (state_ == TDataSetState::dsEdit || state_ == TDataSetState::dsInsert) LeaveEditing();
    try {
        if (indexDirty_) WriteIndexFile();
        FlushHeader();
    } catch (...) {
        CloseHandles();
        throw;
    }
    CloseHandles();
}

// ---------------------------------------------------------------- records

void TTzDbf::ReadRaw(std::uint32_t rec, char* out) {
    long long got = file_.ReadAt(out, recLen_, RecordOffset(rec));
    if (got != static_cast<long long>(recLen_))
        RaiseDbfError(got < 0 ? LastOsErrorCode() : dbferr::kReadError,
                      "File:  " + fileName_ + " Record # " + std::to_string(rec) + " [GetDbfRecord]");
}

void TTzDbf::LoadRecord(std::uint32_t rec) {
    ReadRaw(rec, buffer_.data());
    if (TableLanguage == tlOem) OemToAnsiBuff(buffer_.data() + 1, buffer_.data() + 1, recLen_ - 1);
    recNo_ = rec;
    std::fill(freshMemo_.begin(), freshMemo_.end(), 0);
}

void TTzDbf::ToFileForm(const std::string& ansi, std::string& raw) const {
    raw = ansi;
    if (TableLanguage == tlOem) AnsiToOemBuff(raw.data() + 1, raw.data() + 1, recLen_ - 1);
}

void TTzDbf::WriteRaw(std::uint32_t rec, const char* raw, const char* where) {
    if (openReadOnly_) RaiseDbfError(dbferr::kAccessDenied, "File:  " + fileName_ + " " + where);
    if (!file_.WriteAt(raw, recLen_, RecordOffset(rec)))
        RaiseDbfError(LastOsErrorCode(), "File:  " + fileName_ + " " + where);
}

void TTzDbf::RefreshCount() {
    long long size = file_.Size();
    if (size < 0) return;
    std::uint64_t fits = static_cast<std::uint64_t>(size) > headerLen_
                             ? (static_cast<std::uint64_t>(size) - headerLen_) / recLen_ : 0;
    if (fits <= count_) return;
    std::uint32_t old = count_;
    count_ = static_cast<std::uint32_t>(std::min<std::uint64_t>(fits, UINT32_MAX));
    if (index_) {
        std::string raw(recLen_, ' ');
        for (std::uint32_t r = old + 1; r <= count_; ++r) {
            ReadRaw(r, raw.data());
            IndexRecord(r, raw.data());
        }
    }
}

std::uint32_t TTzDbf::RecCount() {
    if (!Active()) return 0;
    if (Shared()) RefreshCount();
    return count_;
}

bool TTzDbf::IsDeleted() const { return recNo_ != 0 && !buffer_.empty() && buffer_[0] == '*'; }

void TTzDbf::AppendRaw(const char* raw) {
    if (openReadOnly_)
        RaiseDbfError(dbferr::kAccessDenied, "File:  " + fileName_ + " [Replace/Append/PutDbfRecord]");
    if (Shared() && !appendLocked_)
        RaiseDbfError(dbferr::kAccessDenied, "File must be locked to append: " + fileName_ + " [APPEND]");
    if (Shared()) RefreshCount();
    if (count_ == UINT32_MAX) RaiseDbfError(dbferr::kInvalidSize, "File:  " + fileName_ + " [Replace/Append/PutDbfRecord]");
    WriteRaw(count_ + 1, raw, "[Replace/Append/PutDbfRecord]");
    ++count_;
    appended_ = true;
    if (index_) IndexRecord(count_, raw);
}

void TTzDbf::BlankBuffer() {
    buffer_.assign(recLen_, ' ');
    for (std::size_t i = 0; i < fields_.size(); ++i) {
        const DbfFieldDef& f = fields_[i];
        if (f.type == 'N' || f.type == 'F')
            PutSlice(static_cast<int>(i), FormatNumber(0, f.length, f.decimals));
        else if (f.type == 'L')
            PutSlice(static_cast<int>(i), "F");
    }
    std::fill(freshMemo_.begin(), freshMemo_.end(), 0);
}

void TTzDbf::EnsureEditing() {
    if (state_ == TDataSetState::dsEdit || state_ == TDataSetState::dsInsert) return;
    state_ = TDataSetState::dsEdit;
    explicitEdit_ = false;
}

void TTzDbf::LeaveEditing() {
    // Discards what was not written and reloads the current record.
    state_ = TDataSetState::dsBrowse;
    detached_ = explicitEdit_ = false;
    if (recNo_ != 0 && recNo_ <= count_) {
        LoadRecord(recNo_);
    } else {
        BlankBuffer();
    }
}

std::uint32_t TTzDbf::OrderSize() const { return index_ ? index_->RecordCount() : count_; }
std::uint32_t TTzDbf::RecAt(std::uint32_t pos) const { return index_ ? index_->order[pos] : pos + 1; }

bool TTzDbf::StepTo(std::int64_t pos, int dir) {
    // Moves to pos, skipping deleted records when they are hidden. False
    // when it ran off the end in direction dir.
    std::int64_t n = OrderSize();
    while (pos >= 0 && pos < n) {
        std::uint32_t rec = RecAt(static_cast<std::uint32_t>(pos));
        LoadRecord(rec);
        if (!HideDeletedRecs || buffer_[0] != '*') {
            pos_ = static_cast<std::uint32_t>(pos);
            return true;
        }
        pos += dir;
    }
    return false;
}

void TTzDbf::SettleEditBeforeMove() {
    // A move posts pending edits, as datasets do; a buffer that ClearRecord
    // detached from the current record is simply dropped.
    if (state_ != TDataSetState::dsEdit && state_ != TDataSetState::dsInsert) return;
    if (detached_) LeaveEditing();
    else Post();
}

void TTzDbf::First() {
    if (!Active()) return;
    SettleEditBeforeMove();
    if (Shared()) RefreshCount();
    bof_ = true;
    eof_ = !StepTo(0, 1);
    if (eof_) {
        recNo_ = 0;
        BlankBuffer();
    }
}

void TTzDbf::Last() {
    if (!Active()) return;
    SettleEditBeforeMove();
    if (Shared()) RefreshCount();
    eof_ = true;
    bof_ = !StepTo(static_cast<std::int64_t>(OrderSize()) - 1, -1);
    if (bof_) {
        recNo_ = 0;
        BlankBuffer();
    }
}

void TTzDbf::Next() {
    if (!Active() || eof_) return;
    SettleEditBeforeMove();
    if (recNo_ == 0) {
        eof_ = true;
        return;
    }
    std::uint32_t keep = pos_;
    if (StepTo(static_cast<std::int64_t>(pos_) + 1, 1)) {
        bof_ = false;
    } else {
        eof_ = true;
        if (RecAt(keep) != recNo_) StepTo(keep, -1);
        pos_ = keep;
        LoadRecord(RecAt(keep));
    }
}

void TTzDbf::Prior() {
    if (!Active() || bof_) return;
    SettleEditBeforeMove();
    if (recNo_ == 0) {
        bof_ = true;
        return;
    }
    std::uint32_t keep = pos_;
    if (pos_ > 0 && StepTo(static_cast<std::int64_t>(pos_) - 1, -1)) {
        eof_ = false;
    } else {
        bof_ = true;
        pos_ = keep;
        LoadRecord(RecAt(keep));
    }
}

void TTzDbf::SyncPosition() {
    // Finds the current record in the current order.
    if (recNo_ == 0) return;
    if (!index_) {
        pos_ = recNo_ - 1;
        return;
    }
    auto it = std::find(index_->order.begin(), index_->order.end(), recNo_);
    pos_ = it == index_->order.end() ? 0 : static_cast<std::uint32_t>(it - index_->order.begin());
}

// ---------------------------------------------------------------- fields

int TTzDbf::FieldIndex(const std::string& name) const {
    std::string n = Upper(Trim(name).substr(0, 10));
    for (std::size_t i = 0; i < fields_.size(); ++i)
        if (fields_[i].name == n) return static_cast<int>(i);
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
    const DbfFieldDef& f = fields_[static_cast<std::size_t>(i)];
    std::string v = value.substr(0, static_cast<std::size_t>(f.length));
    v.resize(static_cast<std::size_t>(f.length), ' ');
    buffer_.replace(1 + static_cast<std::size_t>(f.offset), static_cast<std::size_t>(f.length), v);
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

std::uint32_t TTzDbf::MemoBlockOf(const char* rec, int i) const {
    const DbfFieldDef& f = fields_[static_cast<std::size_t>(i)];
    const char* p = rec + 1 + f.offset;
    std::uint64_t v = 0;
    bool digits = false;
    for (int k = 0; k < f.length; ++k) {
        char c = p[k];
        if (c == ' ' || c == '\0') {
            if (digits) return UINT32_MAX;  // blanks after digits: not a block number
            continue;
        }
        if (c < '0' || c > '9') return UINT32_MAX;
        digits = true;
        v = v * 10 + static_cast<std::uint64_t>(c - '0');
        if (v >= UINT32_MAX) return UINT32_MAX;
    }
    return static_cast<std::uint32_t>(v);
}

std::uint32_t TTzDbf::MemoBlock(int i) const { return MemoBlockOf(buffer_.data(), i); }

void TTzDbf::PutMemoBlock(int i, std::uint32_t block) {
    PutSlice(i, block == 0 ? std::string() : RightAlign(std::to_string(block), fields_[static_cast<std::size_t>(i)].length));
}

std::string TTzDbf::ReadMemoRaw(int i) {
    std::uint32_t block = MemoBlock(i);
    if (block == 0) return "";
    if (block == UINT32_MAX || !memo_.IsOpen())
        RaiseDbfError(dbferr::kInvalidMemoAddress,
                      memo_.Path() + " Record # " + std::to_string(recNo_) + " [GetMemo]");
    return memo_.Read(block, static_cast<long>(recNo_));
}

void TTzDbf::WriteMemoRaw(int i, const std::string& raw) {
    EnsureEditing();
    std::uint32_t old = MemoBlock(i);
    bool reusable = old != 0 && old != UINT32_MAX &&
                    (freshMemo_[static_cast<std::size_t>(i)] == old || explicitEdit_);
    std::uint32_t block = memo_.Write(reusable ? old : 0, raw);
    PutMemoBlock(i, block);
    freshMemo_[static_cast<std::size_t>(i)] = block;
}

int TTzDbf::CheckMemoField(const std::string& name, const char* op) {
    CheckOpen(op);
    int i = FieldIndex(name);
    if (i < 0)
        RaiseDbfError(dbferr::kInvalidParameter,
                      "Field \"" + name + "\" not in \"" + fileName_ + "\"" + " [" + op + "]");
    const DbfFieldDef& f = fields_[static_cast<std::size_t>(i)];
    if (!IsMemoType(f.type))
        RaiseDbfError(dbferr::kInvalidParameter, std::string("\"") + op + "()\" expects field \"" + name +
                                                     "\" to be of type:\r\n\"memo\".\"" + name +
                                                     "\" actually is: \"" + TypeName(f) + "\"");
    return i;
}

std::string TTzDbf::GetFieldText(const std::string& fieldName) { return GetText(RequireField(fieldName)); }

void TTzDbf::SetFieldText(const std::string& fieldName, const std::string& text) {
    int i = RequireField(fieldName);
    EnsureEditing();
    SetText(i, text);
}

void TTzDbf::GetMField(const std::string& fieldName, std::vector<std::string>& lines) {
    lines.clear();
    int i = CheckMemoField(fieldName, "GetMField");
    std::string raw = ReadMemoRaw(i);
    lines = SplitMemoLines(raw);
    if (TableLanguage == tlOem)
        for (std::string& l : lines) l = OemToAnsi(l);
}

void TTzDbf::SetMField(const std::string& fieldName, const std::vector<std::string>& lines) {
    int i = CheckMemoField(fieldName, "SetMField");
    std::string raw;
    for (std::size_t k = 0; k < lines.size(); ++k) {
        if (k) raw += "\r\n";
        raw += TableLanguage == tlOem ? AnsiToOem(lines[k]) : lines[k];
    }
    WriteMemoRaw(i, raw);
}

std::string TTzDbf::GetMemoText(const std::string& fieldName) {
    int i = CheckMemoField(fieldName, "GetMField");
    std::string raw = ReadMemoRaw(i);
    return TableLanguage == tlOem ? OemToAnsi(raw) : raw;
}

void TTzDbf::SetMemoText(const std::string& fieldName, const std::string& text) {
    int i = CheckMemoField(fieldName, "SetMField");
    WriteMemoRaw(i, TableLanguage == tlOem ? AnsiToOem(text) : text);
}

// ---------------------------------------------------------------- editing

void TTzDbf::Edit() {
    if (!Active()) throw DatasetError("Cannot perform this operation on a closed dataset");
    if (state_ == TDataSetState::dsEdit || state_ == TDataSetState::dsInsert) return;
    if (recNo_ == 0) {
        Insert();
        return;
    }
    state_ = TDataSetState::dsEdit;
    explicitEdit_ = true;
    detached_ = false;
}

void TTzDbf::Insert() {
    if (!Active()) throw DatasetError("Cannot perform this operation on a closed dataset");
    if (state_ == TDataSetState::dsEdit || state_ == TDataSetState::dsInsert) Post();
    BlankBuffer();
    state_ = TDataSetState::dsInsert;
    explicitEdit_ = detached_ = false;
}

void TTzDbf::Post() {
    if (state_ == TDataSetState::dsInsert || (state_ == TDataSetState::dsEdit && recNo_ == 0)) {
        bool took = false;
        if (Shared() && !appendLocked_) {
            if (!ALock()) {
                ShowDbfMessage("Lock failed [Insert]");
                return;
            }
            took = true;
        }
        struct Release {
            TTzDbf* t;
            bool on;
            ~Release() {
                if (on && t->file_.IsOpen()) {
                    UnlockRange(t->file_.Fd(), kLockBase + 1, 1);
                    t->appendLocked_ = false;
                }
            }
        } release {this, took};
        ToFileForm(buffer_, raw_);
        AppendRaw(raw_.data());
        recNo_ = count_;
        state_ = TDataSetState::dsBrowse;
        detached_ = explicitEdit_ = false;
        std::fill(freshMemo_.begin(), freshMemo_.end(), 0);
        SyncPosition();
        eof_ = bof_ = false;
        return;
    }
    if (state_ != TDataSetState::dsEdit) return;
    bool took = false;
    if (Shared() && !recLocks_.count(recNo_)) {
        if (!LockRecord()) {
            ShowDbfMessage("Lock failed [Post]");
            return;
        }
        took = true;
    }
    std::uint32_t rec = recNo_;
    ToFileForm(buffer_, raw_);
    try {
        WriteRaw(rec, raw_.data(), "[Replace/Append/PutDbfRecord]");
    } catch (...) {
        if (took) {
            UnlockRange(file_.Fd(), kLockBase + RecordOffset(rec), recLen_);
            recLocks_.erase(rec);
        }
        throw;
    }
    if (took) {
        UnlockRange(file_.Fd(), kLockBase + RecordOffset(rec), recLen_);
        recLocks_.erase(rec);
    }
    changed_ = true;
    if (index_) {
        IndexRecord(rec, raw_.data());
        SyncPosition();
    }
    state_ = TDataSetState::dsBrowse;
    detached_ = explicitEdit_ = false;
    std::fill(freshMemo_.begin(), freshMemo_.end(), 0);
}

void TTzDbf::Cancel() {
    if (state_ == TDataSetState::dsEdit || state_ == TDataSetState::dsInsert) LeaveEditing();
}

void TTzDbf::Delete() {
    if (!Active() || recNo_ == 0) return;
    if (state_ == TDataSetState::dsEdit || state_ == TDataSetState::dsInsert) LeaveEditing();
    bool took = false;
    if (Shared() && !recLocks_.count(recNo_)) {
        if (!LockRecord()) {
            ShowDbfMessage("Lock failed [Delete]");
            return;
        }
        took = true;
    }
    std::uint32_t rec = recNo_;
    try {
        DeleteRec();
    } catch (...) {
        if (took) {
            UnlockRange(file_.Fd(), kLockBase + RecordOffset(rec), recLen_);
            recLocks_.erase(rec);
        }
        throw;
    }
    if (took) {
        UnlockRange(file_.Fd(), kLockBase + RecordOffset(rec), recLen_);
        recLocks_.erase(rec);
    }
}

// ---------------------------------------------------------------- xBase operations

void TTzDbf::ClearRecord() {
    CheckOpen("ClearRecord");
    if (state_ != TDataSetState::dsEdit) state_ = TDataSetState::dsEdit;
    BlankBuffer();
    detached_ = true;
    explicitEdit_ = false;
}

void TTzDbf::AppendRec() {
    CheckOpen("AppendRec");
    ToFileForm(buffer_, raw_);
    raw_[0] = buffer_[0] == '*' ? '*' : ' ';
    AppendRaw(raw_.data());
    recNo_ = count_;
    state_ = TDataSetState::dsBrowse;
    detached_ = explicitEdit_ = false;
    std::fill(freshMemo_.begin(), freshMemo_.end(), 0);
    SyncPosition();
    eof_ = bof_ = false;
}

void TTzDbf::DeleteRec() {
    CheckOpen("DeleteRec");
    if (recNo_ == 0) return;
    if (Shared() && !recLocks_.count(recNo_))
        RaiseDbfError(dbferr::kRecordNotLocked,
                      fileName_ + " " + "Record not locked " + "[DeleteRec]");
    if (openReadOnly_) RaiseDbfError(dbferr::kAccessDenied, "File:  " + fileName_ + " [DeleteRec/RecallRec]");
    const char mark = '*';
    if (!file_.WriteAt(&mark, 1, RecordOffset(recNo_)))
        RaiseDbfError(LastOsErrorCode(), "File:  " + fileName_ + " [DeleteRec/RecallRec]");
    buffer_[0] = '*';
    changed_ = true;
}

bool TTzDbf::ALock() {
    CheckOpen("ALock");
    if (!Shared()) return true;
    if (appendLocked_) return true;
    appendLocked_ = LockRange(file_.Fd(), kLockBase + 1, 1);
    return appendLocked_;
}

bool TTzDbf::LockRecord() {
    if (!Active() || recNo_ == 0) return false;
    if (!Shared()) return true;
    if (recLocks_.count(recNo_)) return true;
    if (!LockRange(file_.Fd(), kLockBase + RecordOffset(recNo_), recLen_)) return false;
    recLocks_.insert(recNo_);
    return true;
}

void TTzDbf::UnLock() {
    CheckOpen("UnLock");
    if (Shared()) UnlockRange(file_.Fd(), kLockBase, 0);
    appendLocked_ = false;
    recLocks_.clear();
}

void TTzDbf::AppendFrom(const std::string& path) {
    CheckOpen("AppendFrom");
    std::string name = WithDbfExtension(Trim(path));
    struct stat a {}, b {};
    if (::stat(name.c_str(), &a) != 0)
        RaiseDbfError(dbferr::kFileNotFound, "[AppendFrom(" + name + ")]");
    if (::fstat(file_.Fd(), &b) == 0 && a.st_dev == b.st_dev && a.st_ino == b.st_ino)
        RaiseDbfError(dbferr::kFileInUse, "Attempting to append file to itself. [AppendFrom(" + name + ")]");
    if (state_ == TDataSetState::dsEdit || state_ == TDataSetState::dsInsert) LeaveEditing();
    std::uint32_t before = recNo_;

    TTzDbf src(Name);
    src.TableLanguage = TableLanguage;
    src.CreateIfNotFound = false;
    src.ReadOnly = true;
    src.SetDbfFileName(name);
    src.Open();
    bool same = src.fields_.size() == fields_.size() && src.recLen_ == recLen_;
    for (std::size_t i = 0; same && i < fields_.size(); ++i) {
        const DbfFieldDef &x = fields_[i], &y = src.fields_[i];
        same = x.name == y.name && x.type == y.type && x.length == y.length && x.decimals == y.decimals;
    }
    std::vector<int> partner(fields_.size(), -1);
    for (std::size_t i = 0; i < fields_.size(); ++i) partner[i] = src.FieldIndex(fields_[i].name);

    std::string raw(recLen_, ' ');
    std::uint32_t n = src.count_;
    for (std::uint32_t r = 1; r <= n; ++r) {
        if (same) {
            src.ReadRaw(r, raw.data());
            for (std::size_t i = 0; i < fields_.size(); ++i) {
                if (!IsMemoType(fields_[i].type)) continue;
                std::uint32_t blk = src.MemoBlockOf(raw.data(), static_cast<int>(i));
                std::string text;
                if (blk != 0) {
                    if (blk == UINT32_MAX)
                        RaiseDbfError(dbferr::kInvalidMemoAddress,
                                      src.memo_.Path() + " Record # " + std::to_string(r) + " [GetMemo]");
                    text = src.memo_.Read(blk, static_cast<long>(r));
                }
                std::uint32_t nb = memo_.Write(0, text);
                std::string v = nb == 0 ? std::string(10, ' ') : RightAlign(std::to_string(nb), fields_[i].length);
                v.resize(static_cast<std::size_t>(fields_[i].length), ' ');
                std::memcpy(raw.data() + 1 + fields_[i].offset, v.data(), v.size());
            }
            AppendRaw(raw.data());
        } else {
            src.LoadRecord(r);
            BlankBuffer();
            buffer_[0] = src.buffer_[0] == '*' ? '*' : ' ';
            for (std::size_t i = 0; i < fields_.size(); ++i) {
                int j = partner[i];
                if (j < 0) continue;
                const DbfFieldDef &x = fields_[i], &y = src.fields_[static_cast<std::size_t>(j)];
                if (IsMemoType(x.type)) {
                    std::string text = IsMemoType(y.type) ? src.ReadMemoRaw(j) : TrimRight(src.FieldSlice(j));
                    if (!IsMemoType(y.type) && TableLanguage == tlOem) text = AnsiToOem(text);
                    PutMemoBlock(static_cast<int>(i), memo_.Write(0, text));
                } else if (x.type == y.type && x.type != 'N' && x.type != 'F') {
                    PutSlice(static_cast<int>(i), src.FieldSlice(j));
                } else {
                    try {
                        std::string t = IsMemoType(y.type) ? std::string() : src.GetText(j);
                        SetText(static_cast<int>(i), x.type == 'C' ? TrimRight(t) : Trim(t));
                    } catch (const DatasetError&) {
                        // A value that this field cannot hold stays blank.
                    }
                }
            }
            ToFileForm(buffer_, raw);
            raw[0] = buffer_[0];
            AppendRaw(raw.data());
        }
    }
    src.Close();
    if (before == 0 || before > count_) before = count_;
    if (before) {
        LoadRecord(before);
        SyncPosition();
        eof_ = bof_ = false;
    }
    state_ = TDataSetState::dsBrowse;
}

// ---------------------------------------------------------------- pack

bool TTzDbf::Pack() {
    CheckOpen("Pack");
    if (state_ == TDataSetState::dsEdit || state_ == TDataSetState::dsInsert) LeaveEditing();
    if (Shared()) RefreshCount();
    if (count_ == 0) return true;
    const bool wasShared = Shared();
    std::unique_ptr<mdx::KeyOrder> keepIndex;
    std::string keepIndexPath;
    int keepIndexField = indexField_;
    if (wasShared) {
        if (indexDirty_) WriteIndexFile();
        FlushHeader();
        keepIndex = std::move(index_);
        keepIndexPath = indexPath_;
        CloseHandles();
        if (OpenHandles(true, true) != 0) {
            OpenHandles(false, false);
            if (keepIndex) {
                index_ = std::move(keepIndex);
                indexPath_ = keepIndexPath;
                indexField_ = keepIndexField;
                indexFile_.Open(indexPath_, O_RDWR);
                if (indexFile_.IsOpen()) AcquireShareMode(indexFile_.Fd(), false);
            }
            First();
            return false;
        }
        if (keepIndex) {
            index_ = std::move(keepIndex);
            indexPath_ = keepIndexPath;
            indexField_ = keepIndexField;
        }
    }
    PackRecords();
    if (hasMemo_) PackMemo();
    if (index_) {
        BuildOrderFromFile(*index_);
        WriteIndexFile();
    }
    if (wasShared) {
        bool hadIndex = index_ != nullptr;
        keepIndex = std::move(index_);
        keepIndexPath = indexPath_;
        CloseHandles();
        int err = OpenHandles(false, true);
        if (err != 0)
            RaiseDbfError(err, "Cannot re-open database sharable. " + fileName_ + " [Pack]");
        if (hadIndex) {
            index_ = std::move(keepIndex);
            indexPath_ = keepIndexPath;
            indexField_ = keepIndexField;
            indexFile_.Open(indexPath_, O_RDWR);
            if (indexFile_.IsOpen()) AcquireShareMode(indexFile_.Fd(), false);
        }
    }
    First();
    return true;
}

void TTzDbf::PackRecords() {
    auto fail = [&]() { RaiseDbfError(LastOsErrorCode(), "Error packing " + fileName_); };
    std::string chunk;
    std::uint32_t write = 0;
    for (std::uint32_t r = 1; r <= count_;) {
        std::uint32_t n = static_cast<std::uint32_t>(std::min<std::uint64_t>(kChunkRecords, count_ - r + 1));
        chunk.resize(std::size_t(n) * recLen_);
        if (file_.ReadAt(chunk.data(), chunk.size(), RecordOffset(r)) != static_cast<long long>(chunk.size()))
            fail();
        std::size_t out = 0;
        for (std::uint32_t k = 0; k < n; ++k) {
            const char* rec = chunk.data() + std::size_t(k) * recLen_;
            if (rec[0] == '*') continue;
            if (out != std::size_t(k) * recLen_) std::memmove(chunk.data() + out, rec, recLen_);
            out += recLen_;
        }
        if (out && (write + 1 != r || out != chunk.size()))
            if (!file_.WriteAt(chunk.data(), out, RecordOffset(write + 1))) fail();
        write += static_cast<std::uint32_t>(out / recLen_);
        r += n;
    }
    std::uint64_t end = RecordOffset(write + 1);
    if (!file_.Truncate(end)) fail();
    const char eofMark = 0x1A;
    if (!file_.WriteAt(&eofMark, 1, end)) fail();
    count_ = write;
    unsigned char h[32];
    if (file_.ReadAt(h, 32, 0) != 32) fail();
    DbfDate today = TodayDate();
    h[1] = static_cast<unsigned char>(today.year - 1900);
    h[2] = static_cast<unsigned char>(today.month);
    h[3] = static_cast<unsigned char>(today.day);
    PutU32(reinterpret_cast<char*>(h + 4), count_);
    if (!file_.WriteAt(h, 32, 0)) fail();
    changed_ = appended_ = false;
}

void TTzDbf::PackMemo() {
    const std::string memoPath = memo_.Path();
    long long memoSize = 0;
    {
        struct stat st {};
        if (::stat(memoPath.c_str(), &st) == 0) memoSize = st.st_size;
    }
    if (dbfio::FreeDiskKb(memoPath) < static_cast<std::uint64_t>(memoSize) / 1024)
        RaiseDbfError(dbferr::kNoSpaceToPackMemo, " [PackMemofile]");
    const MemoFile::Kind kind = memo_.GetKind();
    std::string image;
    if (kind == MemoFile::Kind::DBase4) {
        image = MemoFile::NewHeader(dbfio::BaseNameNoExt(fileName_));
    } else {
        image.assign(512, '\0');
        image[16] = 0x03;
    }
    auto fail = [&]() { RaiseDbfError(LastOsErrorCode(), "Error packing " + fileName_); };
    std::string chunk;
    for (std::uint32_t r = 1; r <= count_;) {
        std::uint32_t n = static_cast<std::uint32_t>(std::min<std::uint64_t>(kChunkRecords, count_ - r + 1));
        chunk.resize(std::size_t(n) * recLen_);
        if (file_.ReadAt(chunk.data(), chunk.size(), RecordOffset(r)) != static_cast<long long>(chunk.size()))
            fail();
        bool dirty = false;
        for (std::uint32_t k = 0; k < n; ++k) {
            char* rec = chunk.data() + std::size_t(k) * recLen_;
            for (std::size_t i = 0; i < fields_.size(); ++i) {
                if (!IsMemoType(fields_[i].type)) continue;
                std::uint32_t blk = MemoBlockOf(rec, static_cast<int>(i));
                if (blk == 0) continue;
                if (blk == UINT32_MAX)
                    RaiseDbfError(dbferr::kInvalidMemoAddress,
                                  memoPath + " Record # " + std::to_string(r + k) + " [GetMemo]");
                std::string text = memo_.Read(blk, static_cast<long>(r + k));
                std::uint32_t nb = MemoFile::AppendToImage(image, text, kind);
                std::string v = nb == 0 ? std::string() : RightAlign(std::to_string(nb), fields_[i].length);
                v.resize(static_cast<std::size_t>(fields_[i].length), ' ');
                std::memcpy(rec + 1 + fields_[i].offset, v.data(), v.size());
                dirty = true;
            }
        }
        if (dirty && !file_.WriteAt(chunk.data(), chunk.size(), RecordOffset(r))) fail();
        r += n;
    }
    MemoFile::FinishImage(image);
    const std::string tmp = dbfio::CompanionName(fileName_, ".$$$");
    {
        dbfio::FileHandle f;
        if (!f.Open(tmp, O_RDWR | O_CREAT | O_TRUNC) || !f.WriteAt(image.data(), image.size(), 0)) {
            int code = LastOsErrorCode();
            f.Close();
            ::unlink(tmp.c_str());
            RaiseDbfError(code, "File:  " + tmp + " [PackMemofile]");
        }
    }
    memo_.Close();
    ::unlink(memoPath.c_str());
    if (::rename(tmp.c_str(), memoPath.c_str()) != 0 || !memo_.Open(memoPath, openReadOnly_, Shared(), kind))
        RaiseDbfError(LastOsErrorCode(), "Memo file not found: " + memoPath + " [PackMemofile]");
}

// ---------------------------------------------------------------- index

bool TTzDbf::BuildKey(const char* raw, std::uint32_t rec, char* key, double& value) const {
    const DbfFieldDef& f = fields_[static_cast<std::size_t>(indexField_)];
    const char* p = raw + 1 + f.offset;
    switch (index_->type) {
    case 'C':
        std::memcpy(key, p, static_cast<std::size_t>(f.length));
        value = 0;
        return true;
    case 'D': {
        DbfDate d;
        if (!DateFromStored(std::string_view(p, 8), d))
            throw DatasetError("'" + std::string(p, 8) + "' is not a valid date in record " + std::to_string(rec));
        value = d.IsBlank() ? mdx::kBlankDateKey : static_cast<double>(JulianDay(d));
        mdx::EncodeDateKey(value, key);
        return true;
    }
    default: {
        std::string text(p, static_cast<std::size_t>(f.length));
        if (!mdx::EncodeNumericKey(text, key) || !ParseNumber(text, value))
            throw DatasetError("'" + Trim(text) + "' is not a valid number in record " + std::to_string(rec));
        return true;
    }
    }
}

void TTzDbf::IndexRecord(std::uint32_t rec, const char* raw) {
    std::vector<char> key(static_cast<std::size_t>(index_->keyLen));
    double value = 0;
    BuildKey(raw, rec, key.data(), value);
    index_->Place(rec, key.data(), value);
    indexDirty_ = true;
}

void TTzDbf::BuildOrderFromFile(mdx::KeyOrder& k) {
    const std::size_t klen = static_cast<std::size_t>(k.keyLen);
    k.keys.assign(std::size_t(count_) * klen, '\0');
    k.values.assign(count_, 0.0);
    k.order.resize(count_);
    std::string chunk;
    for (std::uint32_t r = 1; r <= count_;) {
        std::uint32_t n = static_cast<std::uint32_t>(std::min<std::uint64_t>(kChunkRecords, count_ - r + 1));
        chunk.resize(std::size_t(n) * recLen_);
        long long got = file_.ReadAt(chunk.data(), chunk.size(), RecordOffset(r));
        if (got != static_cast<long long>(chunk.size()))
            RaiseDbfError(got < 0 ? LastOsErrorCode() : dbferr::kReadError,
                          "File:  " + fileName_ + " Record # " + std::to_string(r) + " [GetDbfRecord]");
        for (std::uint32_t j = 0; j < n; ++j) {
            std::uint32_t rec = r + j;
            BuildKey(chunk.data() + std::size_t(j) * recLen_, rec, k.keys.data() + std::size_t(rec - 1) * klen,
                     k.values[rec - 1]);
            k.order[rec - 1] = rec;
        }
        r += n;
    }
    k.Sort();
}

void TTzDbf::WriteIndexFile() {
    if (!index_ || !indexFile_.IsOpen()) return;
    std::string bytes = mdx::BuildFile(*index_, dbfio::BaseNameNoExt(fileName_), "dummy_tag");
    if (!indexFile_.Truncate(0) || !indexFile_.WriteAt(bytes.data(), bytes.size(), 0))
        RaiseDbfError(LastOsErrorCode(), "Error writing index file:  " + indexPath_);
    indexDirty_ = false;
}

void TTzDbf::CloseIndexes() {
    if (index_ && indexDirty_) WriteIndexFile();
    indexFile_.Close();
    index_.reset();
    indexPath_.clear();
    indexField_ = -1;
    indexDirty_ = false;
    SyncPosition();
}

std::string TTzDbf::ResolveIndexName(const std::string& name) const {
    std::string n = Trim(name);
    if (n.empty()) return dbfio::CompanionName(fileName_, ".MDX");
    if (!dbfio::HasExtension(n)) n = dbfio::CompanionName(n + ".x", ".MDX");
    if (n.find('/') == std::string::npos && n.find('\\') == std::string::npos && n.find(':') == std::string::npos)
        n = dbfio::DirOf(fileName_) + n;
    return n;
}

int TTzDbf::ResolveKeyField(const std::string& keyExpr, const std::string& indexName, char& type, int& keyLen) {
    (void)indexName;
    if (keyExpr.size() > static_cast<std::size_t>(mdx::kMaxExpressionLength))
        RaiseDbfError(dbferr::kExpressionTooLong, "Expression length exceeds 100 bytes [AddIndexTag()]");
    int i = FieldIndex(keyExpr);
    if (i < 0 || Trim(keyExpr).size() > 10)
        RaiseDbfError(dbferr::kInvalidParameter,
                      "Field \"" + Trim(keyExpr) + "\" not in \"" + fileName_ + "\" [AddIndexTag()]");
    const DbfFieldDef& f = fields_[static_cast<std::size_t>(i)];
    switch (f.type) {
    case 'C': type = 'C'; keyLen = f.length; break;
    case 'D': type = 'D'; keyLen = 8; break;
    case 'N':
    case 'F': type = 'N'; keyLen = 12; break;
    default: RaiseDbfError(dbferr::kWrongParserType, "Wrong parser return type [AddIndexTag()]");
    }
    if (keyLen < 1 || keyLen > mdx::kMaxKeyLength)
        RaiseDbfError(dbferr::kInvalidSize, "Incorrect key length: Must be 1 to 100. [AddIndexTag()]");
    return i;
}

bool TTzDbf::IndexOnOne(const std::string& keyExpr, const std::string& indexName) {
    CheckOpen("IndexOnOne");
    if (state_ == TDataSetState::dsEdit || state_ == TDataSetState::dsInsert) LeaveEditing();
    CloseIndexes();
    const std::string path = ResolveIndexName(indexName);
    bool reopened = false;
    if (Shared()) {
        dbfio::FileHandle probe;
        bool inUse = false;
        if (probe.Open(path, O_RDWR)) {
            inUse = !AcquireShareMode(probe.Fd(), true);
            probe.Close();
        } else if (errno == EACCES || errno == EPERM) {
            inUse = true;
        }
        if (!inUse && ::unlink(path.c_str()) != 0 && (errno == EACCES || errno == EPERM)) inUse = true;
        if (inUse) {
            FlushHeader();
            CloseHandles();
            if (OpenHandles(true, true) != 0) {
                OpenHandles(false, false);
                First();
                RaiseDbfError(dbferr::kExclusiveRequired, fileName_ + " MakeIndex(" + indexName + ")");
            }
            reopened = true;
        }
    }
    ::unlink(path.c_str());

    char type = 'C';
    int keyLen = 0;
    int field = ResolveKeyField(keyExpr, indexName, type, keyLen);
    if (Shared()) RefreshCount();
    auto order = std::make_unique<mdx::KeyOrder>();
    order->type = type;
    order->keyLen = keyLen;
    order->expression = Trim(keyExpr);
    index_ = std::move(order);
    indexField_ = field;
    try {
        BuildOrderFromFile(*index_);
    } catch (...) {
        index_.reset();
        indexField_ = -1;
        throw;
    }
    std::string bytes = mdx::BuildFile(*index_, dbfio::BaseNameNoExt(fileName_), "dummy_tag");
    index_.reset();
    indexField_ = -1;
    {
        dbfio::FileHandle out;
        if (!out.Open(path, O_RDWR | O_CREAT | O_TRUNC) || !out.WriteAt(bytes.data(), bytes.size(), 0))
            RaiseDbfError(LastOsErrorCode(), "Error writing index file:  " + path);
    }
    if (reopened) {
        CloseHandles();
        int err = OpenHandles(false, true);
        if (err != 0) RaiseDbfError(err, "Cannot_Reopen_Database_Sharable MakeIndex(" + indexName + ")");
    }
    std::uint32_t keep = recNo_;
    SetIndexTo(path);
    if (reopened && keep == 0) keep = count_ ? 1 : 0;
    if (keep && keep <= count_) {
        LoadRecord(keep);
        SyncPosition();
        eof_ = bof_ = false;
    } else {
        First();
    }
    return true;
}

void TTzDbf::SetIndexTo(const std::string& path) {
    CheckOpen("IndexOnOne");
    CloseIndexes();
    dbfio::FileHandle f;
    if (!f.Open(path, openReadOnly_ ? O_RDONLY : O_RDWR))
        RaiseDbfError(dbferr::kFileNotFound, "SetIndexTo(" + path + ")");
    AcquireShareMode(f.Fd(), false);
    long long size = f.Size();
    if (size < 0) RaiseDbfError(LastOsErrorCode(), "Error reading index file:  " + path);
    std::string bytes(static_cast<std::size_t>(size), '\0');
    if (f.ReadAt(bytes.data(), bytes.size(), 0) != size)
        RaiseDbfError(LastOsErrorCode(), "Error reading index file:  " + path);
    mdx::TagContents tag;
    std::string why;
    auto corrupt = [&]() {
        RaiseDbfError(dbferr::kCorruptIndex, "Invalid dBASE key expression or corrupted index file " + path);
    };
    if (!mdx::ReadTag(bytes, "DUMMY_TAG", tag, why) && !mdx::ReadTag(bytes, "", tag, why)) corrupt();
    char type = 'C';
    int keyLen = 0;
    int field = FieldIndex(tag.expression);
    if (field < 0) corrupt();
    const DbfFieldDef& fd = fields_[static_cast<std::size_t>(field)];
    type = fd.type == 'C' ? 'C' : fd.type == 'D' ? 'D' : (fd.type == 'N' || fd.type == 'F') ? 'N' : '?';
    keyLen = type == 'C' ? fd.length : type == 'D' ? 8 : 12;
    if (type != tag.type || keyLen != tag.keyLen) corrupt();
    if (Shared()) RefreshCount();

    auto k = std::make_unique<mdx::KeyOrder>();
    k->type = type;
    k->keyLen = keyLen;
    k->expression = tag.expression;
    const std::size_t klen = static_cast<std::size_t>(keyLen);
    k->keys.assign(std::size_t(count_) * klen, '\0');
    k->values.assign(count_, 0.0);
    std::vector<bool> seen(count_ + 1, false);
    k->order.reserve(count_);
    for (std::size_t e = 0; e < tag.records.size(); ++e) {
        std::uint32_t rec = tag.records[e];
        if (rec == 0 || rec > count_ || seen[rec]) corrupt();
        seen[rec] = true;
        const char* key = tag.keys.data() + e * klen;
        std::memcpy(k->keys.data() + std::size_t(rec - 1) * klen, key, klen);
        k->values[rec - 1] = type == 'D' ? mdx::DecodeDateKey(key) : type == 'N' ? mdx::DecodeNumericKey(key) : 0;
        k->order.push_back(rec);
    }
    index_ = std::move(k);
    indexField_ = field;
    indexPath_ = path;
    indexFile_ = std::move(f);
    // Records the file does not hold yet (appended by another program) join
    // the order now.
    std::string raw(recLen_, ' ');
    for (std::uint32_t r = 1; r <= count_; ++r) {
        if (seen[r]) continue;
        ReadRaw(r, raw.data());
        index_->order.push_back(r);  // placeholder so Place finds and moves it
        std::vector<char> key(klen);
        double value = 0;
        BuildKey(raw.data(), r, key.data(), value);
        index_->order.pop_back();
        std::memcpy(index_->keys.data() + std::size_t(r - 1) * klen, key.data(), klen);
        index_->values[r - 1] = value;
        auto cmp = [this](std::uint32_t a, std::uint32_t b) { return index_->Less(a, b); };
        index_->order.insert(std::upper_bound(index_->order.begin(), index_->order.end(), r, cmp), r);
        indexDirty_ = true;
    }
    SyncPosition();
}

}  // namespace gs
