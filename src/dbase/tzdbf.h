#pragma once
// TTzDbf: one dBase table (.dbf) with its memo file (.dbt) and an optional
// single-tag index (.mdx) that orders its records.
//
// How the mail log uses it:
//
//     TTzDbf log("TzDbfReport");
//     log.DbfFields = {"sentname0,C,30,0", "rdate,D,10,0", ...};
//     log.SetDbfFileName(dir + "report3.dbf");
//     log.Open();                  // creates the file from DbfFields when missing; shared
//     log.ClearRecord();
//     log.SetFieldText("sentname0", "John Smith");
//     log.SetFieldText("rdate", FormatShortDate(TodayDate()));
//     if (log.ALock()) { log.AppendRec(); log.UnLock(); }
//     log.Close();
//
// Reading: GoTop(); while (!Eof()) { GetFieldText("city"); Next(); }.
// RecCount() counts deleted records too. Text in memory is Windows-1252;
// with TableLanguage tlOem the file holds code page 437. Records are read
// through a shared mapping of the file: a record another running copy
// rewrote shows its new bytes the next time the cursor loads it, and records
// it appended join at the next First, Last or RecCount (in shared mode).
//
// Engine errors (bad files, I/O failures, a memo pointer or memo block that
// holds no memo, misuse such as appending without the append lock) go to the
// fatal-error handler of dbferror.h; unknown field names and texts that are
// not numbers or dates throw DatasetError.
#include <cstdint>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "dbase/dbfdate.h"
#include "dbase/fileio.h"
#include "dbase/mdxindex.h"
#include "dbase/memofile.h"

namespace gs {

enum TTableLanguage { tlOem, tlAnsi };
enum TCreateIndex { ciNotFound, ciAlways, ciVerifyHeader, ciNever };
enum class TDataSetState { dsInactive, dsBrowse, dsEdit, dsInsert };

struct DbfFieldDef {
    std::string name;  // upper case
    char type = 'C';
    int length = 0;
    int decimals = 0;
    int offset = 0;    // within the record, after the deletion flag
};

// One field-list line ("sentname0,C,30,0") after parsing and correction.
struct FieldListEntry {
    bool skip = false;       // type "X"
    bool corrected = false;  // the correction message applies
    std::string name;        // as written (trimmed, at most 10 characters)
    std::string typeText;    // type character as written
    int length = 0, decimals = 0;   // as written
    char type = 'C';                // corrected
    int newLength = 0, newDecimals = 0;
};
// False when the line does not have exactly three commas or a number is
// not a number.
bool ParseFieldListLine(const std::string& line, FieldListEntry& out);

class TTzDbf;

// The field object of the dataset layer: the current record's value of one
// field, read and assigned as text, date, number, boolean or memo text.
class TDbfField {
public:
    TDbfField(TTzDbf* table, int index) : table_(table), index_(index) {}
    const DbfFieldDef& Def() const;
    const std::string& FieldName() const { return Def().name; }
    char DataType() const { return Def().type; }
    int Size() const { return Def().length; }
    int Decimals() const { return Def().decimals; }

    bool IsNull() const;  // blank in the file
    std::string AsString() const;  // C without trailing blanks, D date text, N trimmed, L "True"/"False", M memo text
    void SetAsString(const std::string& text);
    DbfDate AsDate() const;
    void SetAsDate(const DbfDate& d);
    double AsFloat() const;
    void SetAsFloat(double v);
    std::int32_t AsInteger() const;
    void SetAsInteger(std::int32_t v);
    bool AsBoolean() const;
    void SetAsBoolean(bool v);
    void Clear();

private:
    TTzDbf* table_;
    int index_;
};

class TTzDbf {
public:
    explicit TTzDbf(std::string componentName = "");
    ~TTzDbf();
    TTzDbf(const TTzDbf&) = delete;
    TTzDbf& operator=(const TTzDbf&) = delete;

    // Published properties. The plain ones take effect at the next open.
    std::string Name;                       // component name used in messages
    std::vector<std::string> DbfFields;     // name,type,len,dec lines for creation
    bool HideDeletedRecs = false;
    TTableLanguage TableLanguage = tlOem;
    bool ReadOnly = false;
    bool AutoFixRecCount = false;
    TCreateIndex CreateIndex = ciNotFound;
    bool CreateIfNotFound = true;
    std::vector<std::string> IndexList;     // not used by this program

    const std::string& DbfFileName() const { return fileName_; }
    void SetDbfFileName(const std::string& path);
    bool Exclusive() const { return exclusive_; }
    void SetExclusive(bool on);

    bool Active() const { return file_.IsOpen(); }
    void SetActive(bool on) { on ? Open() : Close(); }
    void Open();
    void Close();

    // Cursor, in physical order or in the key order of the open index.
    void First();
    void GoTop() { First(); }
    void Next();
    void Prior();
    void Last();
    // Stands on physical record rec (1..RecCount), posting a pending edit
    // first; a number outside the table goes to the end of file.
    void Go(std::uint32_t rec);
    // Re-reads the record count and the current record from the file, so
    // what other copies wrote shows; a pending edit is posted first.
    void Refresh();
    bool Eof() const { return eof_; }
    bool Bof() const { return bof_; }
    std::uint32_t RecNo() const { return recNo_; }
    std::uint32_t RecCount();
    bool IsDeleted() const;  // the current record carries the deletion mark

    TDataSetState State() const { return state_; }
    int FieldCount() const { return static_cast<int>(fields_.size()); }
    const std::vector<DbfFieldDef>& FieldDefs() const { return fields_; }
    TDbfField& Fields(int i) { return *fieldObjs_.at(static_cast<std::size_t>(i)); }
    TDbfField& FieldByName(const std::string& name);
    TDbfField* FindField(const std::string& name);

    // Editing cycle of the dataset layer.
    void Edit();
    void Insert();
    void Append() { Insert(); }
    void Post();
    void Cancel();
    void Delete();
    // Removes the deletion mark of the current record, locked like Delete.
    void Recall();

    // xBase-style operations.
    void ClearRecord();
    std::string GetFieldText(const std::string& fieldName);
    void SetFieldText(const std::string& fieldName, const std::string& text);
    // The same by the field's number, for a caller that sets many records:
    // FieldNo resolves a name (as FieldByName does) once per open table;
    // -1 when the table has no such field. The number is valid until the
    // table is closed.
    int FieldNo(const std::string& fieldName) const { return FieldIndex(fieldName); }
    void SetFieldText(int fieldNo, const std::string& text);
    void AppendRec();
    void AppendFrom(const std::string& path);
    void DeleteRec();
    void RecallRec();  // clears the deletion mark; needs the record lock like DeleteRec
    bool Pack();
    // While the append lock of a shared table is held, memos are written as
    // one run: the memo file's lock is kept until UnLock or Close
    // instead of being taken for every memo (see MemoFile::BeginRun).
    bool ALock();
    bool LockRecord();  // record lock on the current record (single attempt)
    void UnLock();
    void GetMField(const std::string& fieldName, std::vector<std::string>& lines);
    void SetMField(const std::string& fieldName, const std::vector<std::string>& lines);
    // The memo as one text stream (lines joined by CR LF), as bound editors use it.
    std::string GetMemoText(const std::string& fieldName);
    void SetMemoText(const std::string& fieldName, const std::string& text);

    bool IndexOnOne(const std::string& keyExpr, const std::string& indexName);
    // Opens an existing index file and makes its tag (DUMMY_TAG, else the
    // first) the order.
    void SetIndexTo(const std::string& path);
    void CloseIndexes();
    bool HasIndex() const { return index_ != nullptr; }
    const std::string& IndexFileName() const { return indexPath_; }

private:
    friend class TDbfField;

    // Opening and closing.
    bool CreateTable();
    int OpenHandles(bool exclusive, bool quietConflict);
    void ReadStructure();
    void FlushHeader();
    void CloseHandles();
    void CheckOpen(const char* op) const;
    bool Shared() const { return !openExclusive_; }

    // Records.
    std::uint64_t RecordOffset(std::uint32_t rec) const {
        return headerLen_ + std::uint64_t(rec - 1) * recLen_;
    }
    void LoadRecord(std::uint32_t rec);
    void ReadRaw(std::uint32_t rec, char* out);
    void ToFileForm(const std::string& ansi, std::string& raw) const;
    void WriteRaw(std::uint32_t rec, const char* raw, const char* where);
    void AppendRaw(const char* raw);
    void RefreshCount();
    void BlankBuffer();
    void EnsureEditing();
    void LeaveEditing();
    bool SettleEditBeforeMove();
    void UnderRecordLock(const char* what, void (TTzDbf::*op)());
    void WriteDeletionFlag(char mark, const char* op);
    std::uint32_t OrderSize() const;
    std::uint32_t RecAt(std::uint32_t pos) const;
    bool StepTo(std::int64_t pos, int dir);
    void SyncPosition();

    // Fields.
    int FieldIndex(const std::string& name) const;
    int RequireField(const std::string& name);
    std::string FieldSlice(int i) const { return buffer_.substr(1 + fields_[i].offset, fields_[i].length); }
    void PutSlice(int i, const std::string& value);
    std::string GetText(int i);
    void SetText(int i, const std::string& text);
    int CheckMemoField(const std::string& name, const char* op);
    std::uint32_t MemoBlock(int i) const;
    std::uint32_t MemoBlockOf(const char* raw, int i) const;
    void PutMemoBlock(int i, std::uint32_t block);
    std::string ReadMemoRaw(int i);
    void WriteMemoRaw(int i, const std::string& raw);
    void JoinMemoRunIfOwned();

    // Index.
    bool BuildKey(const char* raw, std::uint32_t rec, char* key, double& value) const;
    void IndexRecord(std::uint32_t rec, const char* raw);
    void BuildOrderFromFile(mdx::KeyOrder& k);
    void WriteIndexFile();
    int ResolveKeyField(const std::string& keyExpr, const std::string& indexName, char& type, int& keyLen);
    std::string ResolveIndexName(const std::string& name) const;

    // Pack helpers.
    void PackRecords();
    void PackMemo();

    std::string fileName_;
    bool exclusive_ = false;

    dbfio::FileHandle file_;
    dbfio::ReadView view_;  // records are read through it
    MemoFile memo_;
    bool openExclusive_ = false;
    bool openReadOnly_ = false;
    unsigned char version_ = 0x03;
    std::uint32_t headerLen_ = 0, recLen_ = 0, count_ = 0;
    std::vector<DbfFieldDef> fields_;
    std::vector<std::unique_ptr<TDbfField>> fieldObjs_;
    mutable std::size_t lookupHint_ = 0;  // where FieldIndex starts looking
    bool hasMemo_ = false;

    std::string buffer_;  // current record, program's character set
    std::string blank_;   // the open table's blank record, made at the first need
    std::string raw_;     // scratch in file form
    std::uint32_t recNo_ = 0;
    std::uint32_t pos_ = 0;
    bool eof_ = true, bof_ = true;
    TDataSetState state_ = TDataSetState::dsInactive;
    bool detached_ = false;      // buffer cleared by ClearRecord: not the current record
    bool explicitEdit_ = false;  // Edit() on the current record: memos may be rewritten in place
    std::vector<std::uint32_t> freshMemo_;  // memo blocks written for this buffer

    bool changed_ = false, appended_ = false;
    bool appendLocked_ = false;
    // The record count was measured while the append lock has been held
    // without a break: no other copy can have appended since.
    bool countFresh_ = false;
    std::set<std::uint32_t> recLocks_;

    std::unique_ptr<mdx::KeyOrder> index_;
    int indexField_ = -1;
    std::string indexPath_;
    dbfio::FileHandle indexFile_;
    bool indexDirty_ = false;
};

}  // namespace gs
