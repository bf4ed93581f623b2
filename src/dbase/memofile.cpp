#include "dbase/memofile.h"

#include <cerrno>
#include <chrono>
#include <algorithm>
#include <cstring>
#include <fcntl.h>
#include <thread>

#include "dbase/dbferror.h"
#include "platform/filelock.h"
#include "platform/oserror.h"

namespace gs {

namespace {
constexpr std::uint32_t kBlock = 512;
constexpr int kMemoLockTries = 11;
constexpr std::uint64_t kMemoLockOffset = 10;
constexpr std::uint64_t kMemoWaitOffset = 11;  // held by writers waiting for the lock
// Writes of a run between two looks for a waiting writer.
constexpr unsigned kRunWaiterCheck = 16;
// Blocks the header's next-block field is moved ahead of the run's end.
constexpr std::uint64_t kRunReserveBlocks = 128;

void PutU32(char* p, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) p[i] = static_cast<char>((v >> (8 * i)) & 0xFF);
}
std::function<void(int)>& LockPause() {
    static std::function<void(int)> pause;
    return pause;
}

std::uint32_t GetU32(const unsigned char* p) {
    return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}
}  // namespace

std::string MemoFile::NewHeader(const std::string& tableName) {
    std::string h(24, '\0');
    PutU32(h.data(), 1);
    for (std::size_t i = 0; i < 8 && i < tableName.size(); ++i) h[8 + i] = tableName[i];
    h[18] = 0x02;
    h[19] = 0x01;
    h[20] = static_cast<char>(kBlock & 0xFF);
    h[21] = static_cast<char>(kBlock >> 8);
    return h;
}

bool MemoFile::Create(const std::string& path, const std::string& tableName) {
    dbfio::FileHandle f;
    if (!f.Open(path, O_RDWR | O_CREAT | O_TRUNC)) return false;
    std::string h = NewHeader(tableName);
    return f.WriteAt(h.data(), h.size(), 0);
}

bool MemoFile::Open(const std::string& path, bool readOnly, bool shared, Kind kind) {
    Close();
    path_ = path;
    kind_ = kind;
    shared_ = shared;
    readOnly_ = readOnly;
    if (!file_.Open(path, readOnly ? O_RDONLY : O_RDWR)) return false;
    blockSize_ = kBlock;
    if (kind_ == Kind::DBase4) {
        unsigned char h[24] {};
        if (file_.ReadAt(h, sizeof h, 0) >= 22) {
            std::uint32_t bs = h[20] | (h[21] << 8);
            if (bs >= 64) blockSize_ = bs;  // tiny or zero sizes cannot hold a memo header
        }
    }
    return true;
}

void MemoFile::Close() {
    try {
        EndRun();
    } catch (...) {
        // Closing goes on; the header names a block past the end at worst.
    }
    file_.Close();
}

std::string MemoFile::Read(std::uint32_t block, long recNo) const {
    auto bad = [&]() {
        RaiseDbfError(dbferr::kInvalidMemoAddress,
                      path_ + " Record # " + std::to_string(recNo) + " [GetMemo]");
    };
    long long size = file_.Size();
    if (size < 0) RaiseDbfError(LastOsErrorCode(), path_ + " [GetMemo]");
    std::uint64_t off = static_cast<std::uint64_t>(block) * blockSize_;
    if (block == 0 || off + 1 >= static_cast<std::uint64_t>(size)) bad();
    std::uint64_t avail = static_cast<std::uint64_t>(size) - off;
    if (kind_ == Kind::DBase4) {
        // Every memo of this layout starts with its block header. A block
        // without one was overwritten or never held a memo: its bytes are no
        // text, so it is reported like a pointer past the end.
        unsigned char h[8];
        if (avail < 8 || file_.ReadAt(h, 8, off) != 8) bad();
        if (h[0] != 0xFF || h[1] != 0xFF || h[2] != 0x08 || h[3] != 0x00) bad();
        std::uint32_t len = GetU32(h + 4);
        if (len < 8 || len > avail) bad();
        std::string text(len - 8, '\0');
        if (file_.ReadAt(text.data(), text.size(), off + 8) != static_cast<long long>(text.size())) bad();
        return text;
    }
    // dBase III form: text up to 1A (normally 1A 1A) or the end of the file.
    std::string text;
    char buf[4096];
    std::uint64_t pos = off;
    while (pos < static_cast<std::uint64_t>(size)) {
        long long r = file_.ReadAt(buf, sizeof buf, pos);
        if (r <= 0) break;
        const void* eof = std::memchr(buf, 0x1A, static_cast<std::size_t>(r));
        if (eof) {
            text.append(buf, static_cast<const char*>(eof) - buf);
            return text;
        }
        text.append(buf, static_cast<std::size_t>(r));
        pos += static_cast<std::uint64_t>(r);
    }
    return text;
}

void MemoFile::SetLockPauseForTesting(std::function<void(int attempt)> pause) { LockPause() = std::move(pause); }

void MemoFile::LockForWrite() {
    if (!shared_) return;
    if (LockRange(file_.Fd(), kMemoLockOffset, 1)) return;
    // While it waits, a writer says so on the byte beside the lock, so that
    // a run holding the lock (an import) lets it in between two memos.
    const bool flagged = LockRangeShared(file_.Fd(), kMemoWaitOffset, 1);
    struct Unflag {
        int fd;
        bool on;
        ~Unflag() {
            if (on) UnlockRange(fd, kMemoWaitOffset, 1);
        }
    } unflag {file_.Fd(), flagged};
    for (int i = 1; i < kMemoLockTries; ++i) {
        if (LockPause()) LockPause()(i);
        else std::this_thread::sleep_for(std::chrono::milliseconds(5));
        if (LockRange(file_.Fd(), kMemoLockOffset, 1)) return;
    }
    if (LockPause()) LockPause()(kMemoLockTries);
    RaiseDbfError(dbferr::kCannotLockMemo, path_ + " [" + "EditMemo/CloseMemo" + "]");
}

void MemoFile::UnlockAfterWrite() {
    if (!shared_) return;
    if (!UnlockRange(file_.Fd(), kMemoLockOffset, 1))
        RaiseDbfError(dbferr::kCannotUnlockMemo, path_ + " [" + "EditMemo/CloseMemo" + "]");
}

void MemoFile::WriteFailed() const {
    RaiseDbfError(LastOsErrorCode(), "File:  " + path_ + " [EditMemo/CloseMemo]");
}

std::uint32_t MemoFile::Target(std::uint32_t oldBlock, std::uint64_t padded, std::uint64_t needed) const {
    // A memo that still fits into the blocks of the one it replaces is
    // rewritten in place; anything else goes to the end of the file.
    const std::uint32_t bs = blockSize_;
    const std::uint32_t end = static_cast<std::uint32_t>(padded / bs);
    if (kind_ != Kind::DBase4 || oldBlock == 0 || static_cast<std::uint64_t>(oldBlock) * bs + 8 > padded) return end;
    unsigned char h[8];
    if (file_.ReadAt(h, 8, static_cast<std::uint64_t>(oldBlock) * bs) != 8 || h[0] != 0xFF || h[1] != 0xFF) return end;
    const std::uint32_t stored = GetU32(h + 4);
    if (stored < 8 || (stored - 8) / bs + 1 < needed) return end;
    return oldBlock;
}

namespace {
// The bytes a memo is written as: for a memo at the end of the file, the
// zeros that pad the file to a whole block first, then the block header
// (dBase IV) or the 1A 1A end (dBase III) around the text.
void MemoBytes(std::string& out, std::size_t zeros, std::string_view text, MemoFile::Kind kind) {
    out.assign(zeros, '\0');
    if (kind == MemoFile::Kind::DBase4) {
        char h[8] = {static_cast<char>(0xFF), static_cast<char>(0xFF), 0x08, 0x00};
        PutU32(h + 4, static_cast<std::uint32_t>(text.size() + 8));
        out.append(h, 8);
        out.append(text);
    } else {
        out.append(text);
        out += "\x1A\x1A";
    }
}
}  // namespace

std::uint32_t MemoFile::Write(std::uint32_t oldBlock, std::string_view text) {
    const std::uint64_t L = text.size();
    if (L == 0) return 0;
    if (readOnly_) RaiseDbfError(dbferr::kAccessDenied, path_ + " [EditMemo/CloseMemo]");
    if (inRun_) return WriteInRun(oldBlock, text);
    if (L / 1024 >= dbfio::FreeDiskKb(path_))
        RaiseDbfError(dbferr::kDiskFull, path_ + " [EditMemo/CloseMemo]");
    LockForWrite();
    struct Unlocker {
        MemoFile* m;
        bool armed = true;
        ~Unlocker() {
            if (armed && m->shared_) UnlockRange(m->file_.Fd(), kMemoLockOffset, 1);
        }
    } unlocker {this};
    const std::uint32_t bs = blockSize_;
    const long long size = file_.Size();
    if (size < 0) WriteFailed();
    const std::uint64_t usize = static_cast<std::uint64_t>(size);
    const std::uint64_t padded = (usize + bs - 1) / bs * bs;
    const std::uint32_t target = Target(oldBlock, padded, (L + 8) / bs + 1);
    const std::uint64_t at = static_cast<std::uint64_t>(target) * bs;
    std::string out;
    std::uint64_t newSize = padded;
    if (at == padded) {
        // Padding and memo in one write.
        MemoBytes(out, static_cast<std::size_t>(padded - usize), text, kind_);
        if (!file_.WriteAt(out.data(), out.size(), usize)) WriteFailed();
        newSize = usize + out.size();
    } else {
        if (padded > usize) {
            std::string zeros(padded - usize, '\0');
            if (!file_.WriteAt(zeros.data(), zeros.size(), usize)) WriteFailed();
        }
        MemoBytes(out, 0, text, kind_);
        if (!file_.WriteAt(out.data(), out.size(), at)) WriteFailed();
        newSize = std::max(padded, at + out.size());
    }
    char next[4];
    PutU32(next, static_cast<std::uint32_t>((newSize + bs - 1) / bs));
    if (!file_.WriteAt(next, 4, 0)) WriteFailed();
    unlocker.armed = false;
    UnlockAfterWrite();
    return target;
}

void MemoFile::YieldToWaiters() {
    // Another copy flagged that it waits for the memo lock: give the lock
    // up, let its writes through (it unflags once it has the lock or gave up)
    // and take the lock again at the next write. What it wrote moved the end
    // of the file and its header, so both are measured and written anew.
    if (!runLocked_ || !RangeLockedElsewhere(file_.Fd(), kMemoWaitOffset, 1)) return;
    UnlockAfterWrite();
    runLocked_ = false;
    runSizeKnown_ = false;
    runHeaderNext_ = 0;
    for (int i = 0; i < 200 && RangeLockedElsewhere(file_.Fd(), kMemoWaitOffset, 1); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

std::uint32_t MemoFile::WriteInRun(std::uint32_t oldBlock, std::string_view text) {
    const std::uint64_t L = text.size();
    if (!runSpaceChecked_) {
        if (L / 1024 >= dbfio::FreeDiskKb(path_)) RaiseDbfError(dbferr::kDiskFull, path_ + " [EditMemo/CloseMemo]");
        runSpaceChecked_ = true;
    }
    if (shared_ && ++runWrites_ % kRunWaiterCheck == 0) YieldToWaiters();
    if (shared_ && !runLocked_) {
        LockForWrite();
        runLocked_ = true;
    }
    const std::uint32_t bs = blockSize_;
    if (!runSizeKnown_) {
        const long long size = file_.Size();
        if (size < 0) WriteFailed();
        runSize_ = static_cast<std::uint64_t>(size);
        runSizeKnown_ = true;
    }
    // A write that fails leaves the length unknown: it is measured again.
    auto failed = [&]() {
        runSizeKnown_ = false;
        if (errno == ENOSPC || errno == EDQUOT) RaiseDbfError(dbferr::kDiskFull, path_ + " [EditMemo/CloseMemo]");
        WriteFailed();
    };
    const std::uint64_t padded = (runSize_ + bs - 1) / bs * bs;
    const std::uint32_t target = Target(oldBlock, padded, (L + 8) / bs + 1);
    const std::uint64_t at = static_cast<std::uint64_t>(target) * bs;
    const std::size_t zeros = at == padded ? static_cast<std::size_t>(padded - runSize_) : 0;
    MemoBytes(scratch_, zeros, text, kind_);
    const std::uint64_t newSize = std::max(padded, at + scratch_.size() - zeros);
    const std::uint64_t next = (newSize + bs - 1) / bs;
    // The header's next-block field must never name a block before one in
    // use, or another program would put its next memo over ours, also when
    // the run is cut short by a crash. So it is moved ahead, past the blocks
    // this memo takes and a reserve for the memos after it, before the memo
    // is written; the run's end brings it back to the exact end of the file.
    // Between the two it names a block at or past the end: a writer that
    // follows it leaves unused blocks, never overwrites.
    if (next > runHeaderNext_) {
        const std::uint64_t ahead = next + kRunReserveBlocks;
        char h[4];
        PutU32(h, static_cast<std::uint32_t>(std::min<std::uint64_t>(ahead, UINT32_MAX)));
        if (!file_.WriteAt(h, 4, 0)) failed();
        runHeaderNext_ = static_cast<std::uint32_t>(std::min<std::uint64_t>(ahead, UINT32_MAX));
    }
    if (zeros == 0 && padded > runSize_) {
        std::string pad(padded - runSize_, '\0');
        if (!file_.WriteAt(pad.data(), pad.size(), runSize_)) failed();
    }
    if (!file_.WriteAt(scratch_.data(), scratch_.size(), at - zeros)) failed();
    runSize_ = newSize;
    return target;
}

void MemoFile::EndRun() {
    if (!inRun_) return;
    inRun_ = false;
    const bool locked = runLocked_;
    runLocked_ = false;
    const bool headerAhead = runHeaderNext_ != 0;
    runHeaderNext_ = 0;
    runSpaceChecked_ = false;
    runWrites_ = 0;
    struct Unlock {
        MemoFile* m;
        bool on;
        ~Unlock() {
            if (on) UnlockRange(m->file_.Fd(), kMemoLockOffset, 1);
        }
    } unlock {this, locked};
    if (headerAhead && file_.IsOpen()) {
        std::uint64_t size = runSize_;
        if (!runSizeKnown_) {
            const long long s = file_.Size();
            if (s < 0) WriteFailed();
            size = static_cast<std::uint64_t>(s);
        }
        char next[4];
        PutU32(next, static_cast<std::uint32_t>((size + blockSize_ - 1) / blockSize_));
        if (!file_.WriteAt(next, 4, 0)) {
            runSizeKnown_ = false;
            WriteFailed();
        }
    }
    runSizeKnown_ = false;
    if (locked) {
        unlock.on = false;
        UnlockAfterWrite();
    }
}

std::uint32_t MemoFile::AppendToImage(std::string& image, std::string_view text, Kind kind) {
    if (text.empty()) return 0;
    std::size_t padded = (image.size() + kBlock - 1) / kBlock * kBlock;
    image.resize(padded, '\0');
    std::uint32_t block = static_cast<std::uint32_t>(padded / kBlock);
    if (kind == Kind::DBase4) {
        char h[8] = {static_cast<char>(0xFF), static_cast<char>(0xFF), 0x08, 0x00};
        PutU32(h + 4, static_cast<std::uint32_t>(text.size() + 8));
        image.append(h, 8);
        image.append(text);
    } else {
        image.append(text);
        image += "\x1A\x1A";
    }
    return block;
}

void MemoFile::FinishImage(std::string& image) {
    PutU32(image.data(), static_cast<std::uint32_t>((image.size() + kBlock - 1) / kBlock));
}

}  // namespace gs
