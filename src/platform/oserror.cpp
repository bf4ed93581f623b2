#include "platform/oserror.h"

#include <cerrno>

namespace gs {

int OsErrorCode(int err) {
    switch (err) {
    case 0: return 0;
    case ENOENT: return kOsFileNotFound;
    case ENOTDIR: return kOsPathNotFound;
    case EMFILE:
    case ENFILE: return kOsTooManyOpenFiles;
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR: return kOsAccessDenied;
    case EAGAIN: return kOsLockViolation;
    case ETXTBSY:
    case EBUSY: return kOsSharingViolation;
    case EIO: return kOsReadFault;
    case ENOSPC:
    case EDQUOT:
    case EFBIG: return kOsDiskFull;
    default: return err;
    }
}

int LastOsErrorCode() { return OsErrorCode(errno); }

}  // namespace gs
