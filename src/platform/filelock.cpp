#include "platform/filelock.h"

#include <fcntl.h>
#include <unistd.h>

namespace gs {

namespace {
bool SetLock(int fd, short type, std::uint64_t offset, std::uint64_t length) {
    struct flock fl {};
    fl.l_type = type;
    fl.l_whence = SEEK_SET;
    fl.l_start = static_cast<off_t>(offset);
    fl.l_len = static_cast<off_t>(length);
    fl.l_pid = 0;  // required by OFD locks
    return fcntl(fd, F_OFD_SETLK, &fl) == 0;
}
}  // namespace

bool LockRange(int fd, std::uint64_t offset, std::uint64_t length) {
    return length > 0 && SetLock(fd, F_WRLCK, offset, length);
}

bool LockRangeShared(int fd, std::uint64_t offset, std::uint64_t length) {
    return length > 0 && SetLock(fd, F_RDLCK, offset, length);
}

bool UnlockRange(int fd, std::uint64_t offset, std::uint64_t length) {
    return SetLock(fd, F_UNLCK, offset, length);
}

bool RangeLockedElsewhere(int fd, std::uint64_t offset, std::uint64_t length) {
    struct flock fl {};
    fl.l_type = F_WRLCK;
    fl.l_whence = SEEK_SET;
    fl.l_start = static_cast<off_t>(offset);
    fl.l_len = static_cast<off_t>(length);
    fl.l_pid = 0;
    return fcntl(fd, F_OFD_GETLK, &fl) == 0 && fl.l_type != F_UNLCK;
}

bool AcquireShareMode(int fd, bool exclusive) {
    return SetLock(fd, exclusive ? F_WRLCK : F_RDLCK, kShareGuardByte, 1);
}

}  // namespace gs
