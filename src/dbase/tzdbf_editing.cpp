// The editing cycle of the dataset layer and the xBase-style record
// operations (ClearRecord, AppendRec, DeleteRec, AppendFrom).
#include "dbase/tzdbf.h"

#include <cstring>
#include <sys/stat.h>

#include "dbase/dbferror.h"
#include "dbase/tzdbf_internal.h"
#include "platform/codepage.h"
#include "platform/filelock.h"
#include "platform/oserror.h"

namespace gs {

using namespace tzdbf_detail;

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
                    t->countFresh_ = false;
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
    UnderRecordLock("Delete", &TTzDbf::DeleteRec);
}

void TTzDbf::Recall() {
    if (!Active() || recNo_ == 0) return;
    if (state_ == TDataSetState::dsEdit || state_ == TDataSetState::dsInsert) LeaveEditing();
    UnderRecordLock("Delete", &TTzDbf::RecallRec);
}

void TTzDbf::UnderRecordLock(const char* what, void (TTzDbf::*op)()) {
    // In a shared table the record is locked for the operation and released
    // afterwards, unless the caller held its lock already.
    bool took = false;
    if (Shared() && !recLocks_.count(recNo_)) {
        if (!LockRecord()) {
            ShowDbfMessage(std::string("Lock failed [") + what + "]");
            return;
        }
        took = true;
    }
    const std::uint32_t rec = recNo_;
    auto release = [&] {
        if (!took) return;
        UnlockRange(file_.Fd(), kLockBase + RecordOffset(rec), recLen_);
        recLocks_.erase(rec);
    };
    try {
        (this->*op)();
    } catch (...) {
        release();
        throw;
    }
    release();
}

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
    WriteDeletionFlag('*', "[DeleteRec]");
}

void TTzDbf::RecallRec() {
    CheckOpen("RecallRec");
    WriteDeletionFlag(' ', "[RecallRec]");
}

void TTzDbf::WriteDeletionFlag(char mark, const char* op) {
    if (recNo_ == 0) return;
    if (Shared() && !recLocks_.count(recNo_))
        RaiseDbfError(dbferr::kRecordNotLocked, fileName_ + " " + "Record not locked " + op);
    if (openReadOnly_) RaiseDbfError(dbferr::kAccessDenied, "File:  " + fileName_ + " [DeleteRec/RecallRec]");
    if (!file_.WriteAt(&mark, 1, RecordOffset(recNo_)))
        RaiseDbfError(LastOsErrorCode(), "File:  " + fileName_ + " [DeleteRec/RecallRec]");
    buffer_[0] = mark;
    changed_ = true;
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
    if (hasMemo_) JoinMemoRunIfOwned();
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

}  // namespace gs
