#pragma once
// Byte-range locks between running copies, as Linux open-file-description
// locks (fcntl F_OFD_SETLK). They belong to one open of a file, so two opens
// inside one process conflict exactly as two processes do. Every call is a
// single attempt: nothing waits.
//
// Share modes are met with one guard byte just below the lock base: a shared
// open holds a read lock on it, an exclusive open needs a write lock.
#include <cstdint>

namespace gs {

// Record and append locks of a table lie at this offset and beyond, far past
// any real data.
inline constexpr std::uint64_t kLockBase = 1073741824;  // 40000000 hex
inline constexpr std::uint64_t kShareGuardByte = kLockBase - 1;

// Write (exclusive) lock on [offset, offset + length). False when another
// open holds a conflicting lock (or the descriptor cannot lock).
bool LockRange(int fd, std::uint64_t offset, std::uint64_t length);
// Read (shared) lock on the range.
bool LockRangeShared(int fd, std::uint64_t offset, std::uint64_t length);
// Releases whatever this open holds in the range; length 0 means "to the end".
bool UnlockRange(int fd, std::uint64_t offset, std::uint64_t length);

// True when another open holds a lock that overlaps the range (a look, no
// lock is taken).
bool RangeLockedElsewhere(int fd, std::uint64_t offset, std::uint64_t length);

// Takes the share-mode guard: shared (deny none) or exclusive (deny all).
// False when it conflicts with another open's mode.
bool AcquireShareMode(int fd, bool exclusive);

}  // namespace gs
