#include "dbase/fileio.h"

#include <cctype>
#include <cerrno>
#include <cstdint>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

namespace gs::dbfio {

FileHandle& FileHandle::operator=(FileHandle&& o) noexcept {
    if (this != &o) {
        Close();
        fd_ = o.fd_;
        o.fd_ = -1;
    }
    return *this;
}

bool FileHandle::Open(const std::string& path, int flags, int mode) {
    Close();
    fd_ = ::open(path.c_str(), flags | O_CLOEXEC, mode);
    return fd_ >= 0;
}

void FileHandle::Close() {
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
}

long long FileHandle::ReadAt(void* buf, std::size_t n, std::uint64_t offset) const {
    char* p = static_cast<char*>(buf);
    std::size_t done = 0;
    while (done < n) {
        ssize_t r = ::pread(fd_, p + done, n - done, static_cast<off_t>(offset + done));
        if (r < 0) {
            if (errno == EINTR) continue;
            return -1;
        }
        if (r == 0) break;
        done += static_cast<std::size_t>(r);
    }
    return static_cast<long long>(done);
}

bool FileHandle::WriteAt(const void* buf, std::size_t n, std::uint64_t offset) const {
    const char* p = static_cast<const char*>(buf);
    std::size_t done = 0;
    while (done < n) {
        ssize_t r = ::pwrite(fd_, p + done, n - done, static_cast<off_t>(offset + done));
        if (r < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        if (r == 0) {
            errno = ENOSPC;
            return false;
        }
        done += static_cast<std::size_t>(r);
    }
    return true;
}

long long FileHandle::Size() const {
    struct stat st {};
    if (::fstat(fd_, &st) != 0) return -1;
    return static_cast<long long>(st.st_size);
}

bool FileHandle::Truncate(std::uint64_t size) const {
    return ::ftruncate(fd_, static_cast<off_t>(size)) == 0;
}

void ReadView::Reset() {
    if (base_) ::munmap(base_, mapped_);
    base_ = nullptr;
    mapped_ = 0;
    known_ = 0;
}

bool ReadView::Cover(int fd, std::uint64_t end) {
    if (unmappable_ || fd < 0) return false;
    struct stat st {};
    if (::fstat(fd, &st) != 0) return false;
    const std::uint64_t size = static_cast<std::uint64_t>(st.st_size);
    if (size < end) {
        if (known_ > size) known_ = size;
        return false;
    }
    if (size <= mapped_) {
        known_ = size;
        return true;
    }
    // Room for the appends of a long session, so that a growing table is
    // mapped again only now and then. Pages past the end of the file cost no
    // memory and are never read.
    const std::uint64_t page = static_cast<std::uint64_t>(::sysconf(_SC_PAGESIZE));
    const std::uint64_t want = (size + size / 2 + room_ + page - 1) / page * page;
    if (want > SIZE_MAX / 2) {
        unmappable_ = true;
        return false;
    }
    Reset();
    void* p = ::mmap(nullptr, static_cast<std::size_t>(want), PROT_READ, MAP_SHARED, fd, 0);
    if (p == MAP_FAILED) {
        unmappable_ = true;  // a file system without mappings: read as usual
        return false;
    }
    base_ = static_cast<char*>(p);
    mapped_ = static_cast<std::size_t>(want);
    known_ = size;
    return true;
}

bool FileExists(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

std::uint64_t FreeDiskKb(const std::string& path) {
    struct statvfs vs {};
    const std::string dir = DirOf(path);
    if (::statvfs(dir.empty() ? "." : dir.c_str(), &vs) != 0) return UINT64_MAX / 2;
    return static_cast<std::uint64_t>(vs.f_bavail) * vs.f_frsize / 1024;
}

namespace {
std::size_t NameStart(const std::string& path) {
    std::size_t s = path.find_last_of('/');
    return s == std::string::npos ? 0 : s + 1;
}
std::size_t ExtDot(const std::string& path) {
    std::size_t dot = path.find_last_of('.');
    if (dot == std::string::npos || dot < NameStart(path)) return std::string::npos;
    return dot;
}
}  // namespace

bool HasExtension(const std::string& path) { return ExtDot(path) != std::string::npos; }

std::string ChangeExtension(const std::string& path, const std::string& ext) {
    std::size_t dot = ExtDot(path);
    return (dot == std::string::npos ? path : path.substr(0, dot)) + ext;
}

std::string CompanionName(const std::string& tablePath, const std::string& upperExt) {
    std::size_t dot = ExtDot(tablePath);
    bool lower = false;
    if (dot != std::string::npos) {
        bool anyLetter = false;
        lower = true;
        for (std::size_t i = dot + 1; i < tablePath.size(); ++i) {
            unsigned char c = static_cast<unsigned char>(tablePath[i]);
            if (std::isalpha(c)) {
                anyLetter = true;
                if (std::isupper(c)) lower = false;
            }
        }
        if (!anyLetter) lower = false;
    }
    std::string ext = upperExt;
    if (lower)
        for (char& c : ext) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return ChangeExtension(tablePath, ext);
}

std::string FindCompanion(const std::string& tablePath, const std::string& upperExt) {
    std::string first = CompanionName(tablePath, upperExt);
    if (FileExists(first)) return first;
    std::string lowerExt = upperExt;
    for (char& c : lowerExt) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    for (const std::string& e : {upperExt, lowerExt}) {
        std::string other = ChangeExtension(tablePath, e);
        if (FileExists(other)) return other;
    }
    return first;
}

std::string BaseNameNoExt(const std::string& path) {
    std::size_t s = NameStart(path);
    std::size_t dot = ExtDot(path);
    return path.substr(s, (dot == std::string::npos ? path.size() : dot) - s);
}

std::string DirOf(const std::string& path) { return path.substr(0, NameStart(path)); }

}  // namespace gs::dbfio
