// Table file and structure: create, open, read the header, close.
#include "dbase/tzdbf.h"

#include <algorithm>
#include <charconv>
#include <chrono>
#include <cstdio>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <thread>
#include <unistd.h>

#include "dbase/dbferror.h"
#include "dbase/tzdbf_internal.h"
#include "platform/filelock.h"
#include "platform/oserror.h"

namespace gs {

using namespace tzdbf_detail;

namespace {

// "<table>.<host>.<process>.<n>.new": unique among the copies on every
// computer that shares the folder.
std::string NewTableTempName(const std::string& tableFile) {
    static int counter = 0;
    char host[256] = {};
    if (::gethostname(host, sizeof host - 1) != 0) host[0] = '\0';
    return tableFile + "." + host + "." + std::to_string(::getpid()) + "." + std::to_string(++counter) + ".new";
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
    // Another copy may be creating the same table at this very moment (the
    // first pieces into a log folder that several computers share), and it
    // must never open a file that holds half a header. So the header is
    // written to a file of its own beside the table and linked to the
    // table's name, which fails when another copy got there first: its
    // table is then the one to open. A file system without hard links gets
    // the table written in place, as before.
    const std::string temp = NewTableTempName(fileName_);
    dbfio::FileHandle f;
    bool linked = false;
    if (f.Open(temp, O_RDWR | O_CREAT | O_EXCL)) {
        const bool written = f.WriteAt(h.data(), h.size(), 0);
        f.Close();
        if (written && ::link(temp.c_str(), fileName_.c_str()) == 0) {
            linked = true;
        } else if (written && errno == EEXIST) {
            ::unlink(temp.c_str());
            return true;  // another copy created it meanwhile
        }
        ::unlink(temp.c_str());
    }
    if (!linked) {
        if (!f.Open(fileName_, O_RDWR | O_CREAT | O_EXCL)) return fail();
        if (!f.WriteAt(h.data(), h.size(), 0)) {
            f.Close();
            ::unlink(fileName_.c_str());
            return fail();
        }
        f.Close();
    }
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
    lookupHint_ = 0;
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
            std::string t(1, f.type);
            if (f.type < 32 || f.type >= 127) {  // shown by its number
                t = "#";
                t += std::to_string(static_cast<unsigned char>(f.type));
            }
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
    blank_.clear();
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
    view_.Reset();
    memo_.Close();
    file_.Close();
    indexFile_.Close();
    index_.reset();
    indexPath_.clear();
    indexDirty_ = false;
    state_ = TDataSetState::dsInactive;
    appendLocked_ = false;
    countFresh_ = false;
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
        memo_.EndRun();
        FlushHeader();
    } catch (...) {
        CloseHandles();
        throw;
    }
    CloseHandles();
}

}  // namespace gs
