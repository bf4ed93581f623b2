#pragma once
// The memo file beside a table with memo fields: dBase IV layout (a 24-byte
// header when new, 512-byte blocks, each memo led by FF FF 08 00 and its
// length + 8), and read/append support for dBase III memo files (text ended
// by 1A 1A, no block header) written by other programs.
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "dbase/fileio.h"

namespace gs {

class MemoFile {
public:
    enum class Kind { DBase4, DBase3 };

    // Writes a new dBase IV memo file (24-byte header). False with errno set.
    static bool Create(const std::string& path, const std::string& tableName);
    // The bytes of a new dBase IV memo file.
    static std::string NewHeader(const std::string& tableName);

    // Opens the file; false with errno set. The share mode follows the table.
    bool Open(const std::string& path, bool readOnly, bool shared, Kind kind);
    void Close();
    bool IsOpen() const { return file_.IsOpen(); }
    const std::string& Path() const { return path_; }
    Kind GetKind() const { return kind_; }
    int Fd() const { return file_.Fd(); }

    // The raw text of the memo starting at block (not converted). Raises
    // 1003 for a block or length outside the file and, in the dBase IV
    // layout, for a block that does not start with the block header.
    std::string Read(std::uint32_t block, long recNo) const;

    // Writes text for a field that held oldBlock; returns the block the memo
    // went to (0 for an empty text, nothing written).
    std::uint32_t Write(std::uint32_t oldBlock, std::string_view text);

    // A run of writes by one writer that adds memos for a while (a shared
    // table holding its append lock, as an import does): the memo
    // lock is taken at the run's first write and kept, free space is checked
    // once (a full disk met later is still "Disk full"), and the file's
    // length is known without asking. The header's next-block field is
    // written ahead of the blocks in batches and set to its exact value when
    // the run ends; EndRun (also called by Close) ends it and releases the
    // lock. Another copy waiting for the memo lock is let in between two
    // writes of the run. Outside a run every write locks, checks and
    // measures on its own, as before.
    void BeginRun() { inRun_ = true; }
    void EndRun();
    bool InRun() const { return inRun_; }

    // Appends a memo to an in-memory image of a memo file being packed;
    // returns its block.
    static std::uint32_t AppendToImage(std::string& image, std::string_view text, Kind kind);
    static void FinishImage(std::string& image);

    // Replaces the short pause between two tries of the memo lock (attempt
    // counts from 1); empty restores the pause. Lets a test release the lock
    // at a known try instead of racing a timer.
    static void SetLockPauseForTesting(std::function<void(int attempt)> pause);

private:
    void LockForWrite();
    void UnlockAfterWrite();
    std::uint32_t WriteInRun(std::uint32_t oldBlock, std::string_view text);
    void YieldToWaiters();
    std::uint32_t Target(std::uint32_t oldBlock, std::uint64_t padded, std::uint64_t needed) const;
    [[noreturn]] void WriteFailed() const;

    dbfio::FileHandle file_;
    std::string path_;
    Kind kind_ = Kind::DBase4;
    bool shared_ = true;
    bool readOnly_ = false;
    std::uint32_t blockSize_ = 512;

    // The run's state: whether it holds the memo lock, whether free space was
    // checked, the file's length when known, and the next-block value last
    // written into the header (0: not written in this run).
    bool inRun_ = false;
    bool runLocked_ = false;
    bool runSpaceChecked_ = false;
    bool runSizeKnown_ = false;
    std::uint64_t runSize_ = 0;
    std::uint32_t runHeaderNext_ = 0;
    unsigned runWrites_ = 0;
    std::string scratch_;  // the bytes of the run's memo being written
};

}  // namespace gs
