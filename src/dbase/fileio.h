#pragma once
// A file descriptor owned by one object, with whole-buffer positional reads
// and writes. Failures leave errno set for the caller's error report.
#include <cstddef>
#include <cstdint>
#include <string>

namespace gs::dbfio {

class FileHandle {
public:
    FileHandle() = default;
    ~FileHandle() { Close(); }
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;
    FileHandle(FileHandle&& o) noexcept : fd_(o.fd_) { o.fd_ = -1; }
    FileHandle& operator=(FileHandle&& o) noexcept;

    // open(2) flags; false with errno set on failure.
    bool Open(const std::string& path, int flags, int mode = 0666);
    void Close();
    bool IsOpen() const { return fd_ >= 0; }
    int Fd() const { return fd_; }

    // Bytes actually read (short at end of file); -1 on error.
    long long ReadAt(void* buf, std::size_t n, std::uint64_t offset) const;
    // True when all n bytes were written.
    bool WriteAt(const void* buf, std::size_t n, std::uint64_t offset) const;
    // -1 on error.
    long long Size() const;
    bool Truncate(std::uint64_t size) const;

private:
    int fd_ = -1;
};

// A shared read-only mapping of an open file, so that records are read
// without a system call each. Being shared, it shows every write to the file
// at once, whoever made it (this process through another descriptor, or
// another running copy), exactly as a read would. It covers the file as long
// as it was when last measured, with room to grow; a read past that measures
// the file again and maps more. Bytes past the end of the file are never
// handed out. The file must not be shortened while it is mapped except
// through a call of Reset right after (Pack does so); other programs that
// shorten a table behind its locks are not protected, as with the locks.
class ReadView {
public:
    // room: bytes mapped past the end of the file for it to grow into
    // (besides half its length).
    explicit ReadView(std::uint64_t room = std::uint64_t(16) << 20) : room_(room) {}
    ~ReadView() { Reset(); }
    ReadView(const ReadView&) = delete;
    ReadView& operator=(const ReadView&) = delete;

    // The n bytes at offset of the file open as fd, or nullptr when they
    // reach past the end of the file or the file cannot be mapped (the caller
    // then reads them as usual).
    const char* At(int fd, std::uint64_t offset, std::size_t n) {
        if (offset + n <= known_) return base_ + offset;
        return Cover(fd, offset + n) ? base_ + offset : nullptr;
    }
    // Drops the mapping; the next At maps the file anew.
    void Reset();

private:
    bool Cover(int fd, std::uint64_t end);

    std::uint64_t room_;
    char* base_ = nullptr;
    std::size_t mapped_ = 0;   // length of the mapping, past the end of the file
    std::uint64_t known_ = 0;  // bytes known to lie inside the file
    bool unmappable_ = false;
};

bool FileExists(const std::string& path);
// Free space of the drive holding path, in KB (a large number when unknown).
std::uint64_t FreeDiskKb(const std::string& path);

// Extension helpers. HasExtension: the last path component holds a dot.
bool HasExtension(const std::string& path);
std::string ChangeExtension(const std::string& path, const std::string& ext);
// The companion file (".DBT", ".MDX", ".$$$") in the case of the table's own
// extension; FindCompanion also tries the other case when the first is missing.
std::string CompanionName(const std::string& tablePath, const std::string& upperExt);
std::string FindCompanion(const std::string& tablePath, const std::string& upperExt);
std::string BaseNameNoExt(const std::string& path);
std::string DirOf(const std::string& path);  // ends in "/" or is empty

}  // namespace gs::dbfio
