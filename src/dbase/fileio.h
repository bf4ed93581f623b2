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
