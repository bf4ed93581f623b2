// Locks between running copies: the append lock and record locks, as
// byte ranges far beyond the end of the table file.
#include "dbase/tzdbf.h"

#include "dbase/tzdbf_internal.h"
#include "platform/filelock.h"

namespace gs {

using namespace tzdbf_detail;

bool TTzDbf::ALock() {
    CheckOpen("ALock");
    if (!Shared()) return true;
    if (appendLocked_) return true;
    appendLocked_ = LockRange(file_.Fd(), kLockBase + 1, 1);
    return appendLocked_;
}

bool TTzDbf::LockRecord() {
    if (!Active() || recNo_ == 0) return false;
    if (!Shared()) return true;
    if (recLocks_.count(recNo_)) return true;
    if (!LockRange(file_.Fd(), kLockBase + RecordOffset(recNo_), recLen_)) return false;
    recLocks_.insert(recNo_);
    return true;
}

void TTzDbf::UnLock() {
    CheckOpen("UnLock");
    // The memo run ends first: its header is made exact while this copy may
    // still append.
    if (Shared()) memo_.EndRun();
    if (Shared()) UnlockRange(file_.Fd(), kLockBase, 0);
    appendLocked_ = false;
    countFresh_ = false;
    recLocks_.clear();
}

}  // namespace gs
