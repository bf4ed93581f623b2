// Cursor and record access: reading and writing raw records, the record
// count, the buffer, and moving in physical or key order.
#include "dbase/tzdbf.h"

#include <algorithm>
#include <cstring>

#include "dbase/dbferror.h"
#include "dbase/tzdbf_internal.h"
#include "platform/codepage.h"
#include "platform/oserror.h"

namespace gs {

using namespace tzdbf_detail;

void TTzDbf::ReadRaw(std::uint32_t rec, char* out) {
    // Through the mapping, reading in key order jumps about the file at
    // memory speed; a record the mapping cannot give is read as before.
    if (const char* p = view_.At(file_.Fd(), RecordOffset(rec), recLen_)) {
        std::memcpy(out, p, recLen_);
        return;
    }
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
    if (TableLanguage == tlOem && recLen_ > 0 && ansi.size() == recLen_) {
        // Translated straight from the record into the file form.
        raw.resize(recLen_);
        raw[0] = ansi[0];
        AnsiToOemBuff(ansi.data() + 1, raw.data() + 1, recLen_ - 1);
        return;
    }
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
    // Under an append lock held since the count was last measured nobody
    // else can have appended: the count is known without asking the file.
    if (Shared() && !countFresh_) {
        RefreshCount();
        countFresh_ = true;
    }
    if (count_ == UINT32_MAX) RaiseDbfError(dbferr::kInvalidSize, "File:  " + fileName_ + " [Replace/Append/PutDbfRecord]");
    WriteRaw(count_ + 1, raw, "[Replace/Append/PutDbfRecord]");
    ++count_;
    appended_ = true;
    if (index_) IndexRecord(count_, raw);
}

void TTzDbf::BlankBuffer() {
    if (blank_.size() == recLen_) {
        buffer_.assign(blank_);
    } else {
        // The open table's blank record is made once and copied after.
        buffer_.assign(recLen_, ' ');
        for (std::size_t i = 0; i < fields_.size(); ++i) {
            const DbfFieldDef& f = fields_[i];
            if (f.type == 'N' || f.type == 'F')
                PutSlice(static_cast<int>(i), FormatNumber(0, f.length, f.decimals));
            else if (f.type == 'L')
                PutSlice(static_cast<int>(i), "F");
        }
        blank_ = buffer_;
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

bool TTzDbf::SettleEditBeforeMove() {
    // A move posts pending edits, as datasets do; a buffer that ClearRecord
    // detached from the current record is simply dropped. When the post
    // fails (another copy holds the record's lock) the move does not happen,
    // so the edit is still there to be posted or cancelled.
    if (state_ != TDataSetState::dsEdit && state_ != TDataSetState::dsInsert) return true;
    if (detached_) {
        LeaveEditing();
        return true;
    }
    Post();
    return state_ != TDataSetState::dsEdit && state_ != TDataSetState::dsInsert;
}

void TTzDbf::First() {
    if (!Active() || !SettleEditBeforeMove()) return;
    if (Shared()) RefreshCount();
    bof_ = true;
    eof_ = !StepTo(0, 1);
    if (eof_) {
        recNo_ = 0;
        BlankBuffer();
    }
}

void TTzDbf::Last() {
    if (!Active() || !SettleEditBeforeMove()) return;
    if (Shared()) RefreshCount();
    eof_ = true;
    bof_ = !StepTo(static_cast<std::int64_t>(OrderSize()) - 1, -1);
    if (bof_) {
        recNo_ = 0;
        BlankBuffer();
    }
}

void TTzDbf::Next() {
    if (!Active() || eof_ || !SettleEditBeforeMove()) return;
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
    if (!Active() || bof_ || !SettleEditBeforeMove()) return;
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

void TTzDbf::Go(std::uint32_t rec) {
    if (!Active() || !SettleEditBeforeMove()) return;
    if (Shared()) RefreshCount();
    if (rec == 0 || rec > count_) {
        eof_ = true;
        recNo_ = 0;
        BlankBuffer();
        return;
    }
    LoadRecord(rec);
    SyncPosition();
    eof_ = bof_ = false;
}

void TTzDbf::Refresh() {
    if (!Active() || !SettleEditBeforeMove()) return;
    if (Shared()) RefreshCount();
    if (recNo_ == 0 || recNo_ > count_) {
        First();
        return;
    }
    LoadRecord(recNo_);
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

}  // namespace gs
