#pragma once
// The article numbers belong to every running copy that uses one settings
// file: two windows, or a window and a batch run, must never print the same
// number. A copy therefore takes its next number as a reservation under a
// lock on a companion file beside the settings file ("gslip3.ini.lock"; the
// settings file itself is replaced by a rename on every save, so a lock on
// it would not hold):
//
//   lock; read the number keys afresh; step; write them; release.
//
// No lock is held between those calls, so none is held while a dialog is
// open. The number keys are "Values"/"SerialNum", "CustID" and "MailerNum",
// "IMbSerial", the Intelligent Mail tracking code's serial, which steps
// with the article number, and "IMpbSerial", the serial of the 22-digit
// IMpb number.
//
// Each copy remembers the numbers the file held when it last read or wrote
// them. While the file still holds those, nobody else has printed, and the
// copy's own record is the truth (so a number set in the Mailer Number
// dialog, or anything else changed only in memory, is used exactly as a
// single copy always has). When the file holds something else, another copy
// has stepped meanwhile, and this copy goes on from the file's numbers.
//
// A mail log kept in a folder of its own (Settings.ReportsDir, often on a
// file server) is kept by every copy pointed at it, each with its own
// settings file. Their numbers then live beside the log: the counter
// "gslip3-numbers.ini" in that folder, with the same [Values] keys, taken
// under its own lock file "gslip3-numbers.ini.lock" (after the settings
// file's lock, always in that order). Every number key rides in it except
// the customer ID and the pre-printed form number, which belong to each
// computer; the settings file is still written each time and keeps showing
// the numbers. A counter not there yet is started from this copy's numbers.
// When the folder cannot be reached, or the counter there cannot be read or
// written, no number is taken (NumbersUnreachableError): a copy never goes
// on from its own counter alone while others print from the shared one.
//
// The lock is waited for up to lockWait (it is held for milliseconds);
// SettingsBusyError when it never comes free. When the lock file cannot be
// created at all (no writable folder), the numbers are handled unlocked, as
// a single copy would. A failure to write the file is not fatal here: the
// commit after printing tries again and reports it.
#include "settings/settings.h"

#include <chrono>
#include <functional>
#include <optional>
#include <stdexcept>
#include <string>

namespace gs {

struct NumberKeys {
    std::string SerialNum, CustID, MailerNum, IMbSerial, IMpbSerial;
    bool operator==(const NumberKeys&) const = default;
};
NumberKeys NumberKeysOf(const Settings& settings);
void SetNumberKeys(Settings& settings, const NumberKeys& keys);

// Another copy kept the settings lock for longer than the wait.
class SettingsBusyError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The mail log folder that holds the shared numbers cannot be reached, or
// its numbers file cannot be read or written: nothing was taken.
class NumbersUnreachableError : public SettingsBusyError {
public:
    using SettingsBusyError::SettingsBusyError;
};

// A number taken for one piece: the numbers it was stepped from and to.
struct NumberReservation {
    NumberKeys before;
    NumberKeys reserved;
};

class SharedNumbers {
public:
    explicit SharedNumbers(std::string settingsPath);
    const std::string& SettingsPath() const { return path_; }
    std::string LockPath() const { return path_ + ".lock"; }

    std::chrono::milliseconds lockWait{5000};

    // Reads the whole settings file into the record (missing keys give the
    // defaults, see LoadSettings) and remembers its numbers.
    void Load(Settings& settings, const std::string& dataDir, const std::function<bool()>& tryLoadLogo);

    // Without a lock: when another copy has written the numbers since this
    // copy last looked, the record takes them.
    void Refresh(Settings& settings);

    // Takes the next number: under the lock, continues from the file's
    // numbers if another copy has written them, applies `step` (which may
    // throw: then nothing changes), writes the stepped keys and puts them
    // into the record. Throws SettingsBusyError.
    NumberReservation Reserve(Settings& settings, const std::function<void(Settings&)>& step);

    // The piece was not printed after all: the record returns to the numbers
    // before the reservation, and so does the file, but only when nobody
    // has stepped past the reservation meanwhile. Never throws.
    void GiveBack(Settings& settings, const NumberReservation& reservation);

    // The piece used its number (printed, or the printer failed after the
    // job may have started): the record's numbers (the reservation, or what
    // the user typed over it) are written unless another copy has stepped
    // past meanwhile and the user changed nothing. False with a reason when
    // the file could not be written.
    bool Commit(const Settings& settings, const NumberReservation& reservation, std::string* error);

    // The record's numbers become the file's (the user set the next number).
    bool Publish(const Settings& settings, std::string* error);

    // Writes every field of the record, atomically, except that numbers
    // another copy wrote since this copy last did are kept.
    bool SaveAll(const Settings& settings, std::string* error);

    // The counter's name in the log folder, and that folder ("" while the
    // log is kept in the program's own "Reports" folder), ending in "/".
    static constexpr const char* kCounterFileName = "gslip3-numbers.ini";
    static std::string CounterFolder(const Settings& settings);

private:
    class Lock;
    class Locks;
    NumberKeys ReadFileKeys() const;
    // The numbers every copy goes on from: the counter's with a log folder
    // (this copy's own until it exists), else the settings file's. *ok is
    // false when the counter is there but cannot be read.
    NumberKeys ReadStoreKeys(const Settings& settings, bool* ok = nullptr) const;
    bool WriteCounter(const std::string& folder, const NumberKeys& keys, std::string* error);
    bool WriteLocal(const NumberKeys& keys, const Settings& record, std::string* error);
    bool WriteKeys(const NumberKeys& keys, const Settings& record, std::string* error);

    std::string path_;
    std::optional<NumberKeys> known_;  // the file's numbers at the last read or write
};

}  // namespace gs
