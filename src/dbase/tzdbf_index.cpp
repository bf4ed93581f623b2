// Index: IndexOnOne, opening an index file as the order, and keeping the
// order current while records are appended or changed.
#include "dbase/tzdbf.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

#include "dbase/dbferror.h"
#include "dbase/tzdbf_internal.h"
#include "platform/filelock.h"
#include "platform/oserror.h"

namespace gs {

using namespace tzdbf_detail;

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
