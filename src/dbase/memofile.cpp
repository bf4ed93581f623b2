#include "dbase/memofile.h"

#include <cerrno>
#include <chrono>
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

void MemoFile::Close() { file_.Close(); }

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
    for (int i = 0; i < kMemoLockTries; ++i) {
        if (LockRange(file_.Fd(), kMemoLockOffset, 1)) return;
        if (LockPause()) LockPause()(i + 1);
        else std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    RaiseDbfError(dbferr::kCannotLockMemo, path_ + " [" + "EditMemo/CloseMemo" + "]");
}

void MemoFile::UnlockAfterWrite() {
    if (!shared_) return;
    if (!UnlockRange(file_.Fd(), kMemoLockOffset, 1))
        RaiseDbfError(dbferr::kCannotUnlockMemo, path_ + " [" + "EditMemo/CloseMemo" + "]");
}

std::uint32_t MemoFile::Write(std::uint32_t oldBlock, std::string_view text) {
    const std::uint64_t L = text.size();
    if (L == 0) return 0;
    if (readOnly_) RaiseDbfError(dbferr::kAccessDenied, path_ + " [EditMemo/CloseMemo]");
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
    auto writeFail = [&]() {
        RaiseDbfError(LastOsErrorCode(), "File:  " + path_ + " [EditMemo/CloseMemo]");
    };
    const std::uint32_t bs = blockSize_;
    long long size = file_.Size();
    if (size < 0) writeFail();
    std::uint64_t padded = (static_cast<std::uint64_t>(size) + bs - 1) / bs * bs;
    if (padded > static_cast<std::uint64_t>(size)) {
        std::string zeros(padded - static_cast<std::uint64_t>(size), '\0');
        if (!file_.WriteAt(zeros.data(), zeros.size(), static_cast<std::uint64_t>(size))) writeFail();
    }
    std::uint32_t target = static_cast<std::uint32_t>(padded / bs);
    std::string out;
    if (kind_ == Kind::DBase4) {
        const std::uint64_t needed = (L + 8) / bs + 1;
        if (oldBlock != 0 && static_cast<std::uint64_t>(oldBlock) * bs + 8 <= padded) {
            unsigned char h[8];
            if (file_.ReadAt(h, 8, static_cast<std::uint64_t>(oldBlock) * bs) == 8 && h[0] == 0xFF &&
                h[1] == 0xFF) {
                std::uint32_t stored = GetU32(h + 4);
                if (stored >= 8) {
                    std::uint64_t oldCount = (stored - 8) / bs + 1;
                    if (oldCount >= needed) target = oldBlock;
                }
            }
        }
        out.assign(8, '\0');
        out[0] = static_cast<char>(0xFF);
        out[1] = static_cast<char>(0xFF);
        out[2] = 0x08;
        out[3] = 0x00;
        PutU32(out.data() + 4, static_cast<std::uint32_t>(L + 8));
        out.append(text);
    } else {
        out.assign(text);
        out += "\x1A\x1A";
    }
    if (!file_.WriteAt(out.data(), out.size(), static_cast<std::uint64_t>(target) * bs)) writeFail();
    size = file_.Size();
    if (size < 0) writeFail();
    char next[4];
    PutU32(next, static_cast<std::uint32_t>((static_cast<std::uint64_t>(size) + bs - 1) / bs));
    if (!file_.WriteAt(next, 4, 0)) writeFail();
    unlocker.armed = false;
    UnlockAfterWrite();
    return target;
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
