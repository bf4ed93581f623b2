// Pack: drop the records marked deleted, then pack the memo file and
// rebuild an open index.
#include "dbase/tzdbf.h"

#include <algorithm>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "dbase/dbferror.h"
#include "dbase/tzdbf_internal.h"
#include "platform/filelock.h"
#include "platform/oserror.h"

namespace gs {

using namespace tzdbf_detail;

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
    view_.Reset();  // the mapping must not reach past the new end
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
    std::vector<int> memoFields;
    for (std::size_t i = 0; i < fields_.size(); ++i)
        if (IsMemoType(fields_[i].type)) memoFields.push_back(static_cast<int>(i));
    auto readChunk = [&](std::uint32_t r, std::string& chunk) {
        std::uint32_t n = static_cast<std::uint32_t>(std::min<std::uint64_t>(kChunkRecords, count_ - r + 1));
        chunk.resize(std::size_t(n) * recLen_);
        if (file_.ReadAt(chunk.data(), chunk.size(), RecordOffset(r)) != static_cast<long long>(chunk.size()))
            fail();
        return n;
    };

    // First every memo goes into the new file's image and the new block
    // numbers are kept aside; the records change only once the new file is
    // written whole. A memo that cannot be read ends the pack with the table
    // and the old memo file as they were.
    std::vector<std::uint32_t> newBlocks(std::size_t(count_) * memoFields.size(), 0);
    std::string chunk;
    for (std::uint32_t r = 1; r <= count_;) {
        std::uint32_t n = readChunk(r, chunk);
        for (std::uint32_t k = 0; k < n; ++k) {
            const char* rec = chunk.data() + std::size_t(k) * recLen_;
            for (std::size_t m = 0; m < memoFields.size(); ++m) {
                std::uint32_t blk = MemoBlockOf(rec, memoFields[m]);
                if (blk == 0) continue;
                if (blk == UINT32_MAX)
                    RaiseDbfError(dbferr::kInvalidMemoAddress,
                                  memoPath + " Record # " + std::to_string(r + k) + " [GetMemo]");
                std::string text = memo_.Read(blk, static_cast<long>(r + k));
                newBlocks[std::size_t(r - 1 + k) * memoFields.size() + m] = MemoFile::AppendToImage(image, text, kind);
            }
        }
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
    for (std::uint32_t r = 1; r <= count_;) {
        std::uint32_t n = readChunk(r, chunk);
        bool dirty = false;
        for (std::uint32_t k = 0; k < n; ++k) {
            char* rec = chunk.data() + std::size_t(k) * recLen_;
            for (std::size_t m = 0; m < memoFields.size(); ++m) {
                const DbfFieldDef& f = fields_[static_cast<std::size_t>(memoFields[m])];
                std::uint32_t nb = newBlocks[std::size_t(r - 1 + k) * memoFields.size() + m];
                std::string v = nb == 0 ? std::string() : RightAlign(std::to_string(nb), f.length);
                v.resize(static_cast<std::size_t>(f.length), ' ');
                char* at = rec + 1 + f.offset;
                if (std::memcmp(at, v.data(), v.size()) == 0) continue;
                std::memcpy(at, v.data(), v.size());
                dirty = true;
            }
        }
        if (dirty && !file_.WriteAt(chunk.data(), chunk.size(), RecordOffset(r))) fail();
        r += n;
    }
    memo_.Close();
    ::unlink(memoPath.c_str());
    if (::rename(tmp.c_str(), memoPath.c_str()) != 0 || !memo_.Open(memoPath, openReadOnly_, Shared(), kind))
        RaiseDbfError(LastOsErrorCode(), "Memo file not found: " + memoPath + " [PackMemofile]");
}

}  // namespace gs
