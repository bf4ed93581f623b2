#pragma once
// Operating-system errors in the codes the table store reports: errno values
// mapped to the Windows error numbers (2 file not found, 5 access denied,
// 32 sharing violation, ...).
namespace gs {

inline constexpr int kOsFileNotFound = 2;
inline constexpr int kOsPathNotFound = 3;
inline constexpr int kOsTooManyOpenFiles = 4;
inline constexpr int kOsAccessDenied = 5;
inline constexpr int kOsSharingViolation = 32;
inline constexpr int kOsLockViolation = 33;
inline constexpr int kOsReadFault = 100;
inline constexpr int kOsDiskFull = 101;

// The Windows code for an errno value. Unknown values keep their own number
// (an errno is never one of the codes above by accident except 2/3/4/5,
// which are mapped to themselves where they mean the same).
int OsErrorCode(int err);

// OsErrorCode(errno).
int LastOsErrorCode();

}  // namespace gs
