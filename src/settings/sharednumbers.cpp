#include "settings/sharednumbers.h"

#include "platform/filelock.h"
#include "platform/inifile.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <optional>
#include <thread>

namespace gs {

NumberKeys NumberKeysOf(const Settings& s) { return {s.SerialNum, s.CustID, s.MailerNum, s.IMbSerial, s.IMpbSerial}; }

void SetNumberKeys(Settings& s, const NumberKeys& k) {
    s.SerialNum = k.SerialNum;
    s.CustID = k.CustID;
    s.MailerNum = k.MailerNum;
    s.IMbSerial = k.IMbSerial;
    s.IMpbSerial = k.IMpbSerial;
}

namespace {

// Keys the file lacks take their values from d (the defaults unless told).
NumberKeys KeysIn(const IniFile& ini, const NumberKeys& d = NumberKeysOf(Settings{})) {
    return {ini.ReadString("Values", "SerialNum", d.SerialNum), ini.ReadString("Values", "CustID", d.CustID),
            ini.ReadString("Values", "MailerNum", d.MailerNum), ini.ReadString("Values", "IMbSerial", d.IMbSerial),
            ini.ReadString("Values", "IMpbSerial", d.IMpbSerial)};
}

void PutKeys(IniFile& ini, const NumberKeys& k) {
    ini.WriteString("Values", "CustID", k.CustID);
    ini.WriteString("Values", "SerialNum", k.SerialNum);
    ini.WriteString("Values", "MailerNum", k.MailerNum);
    ini.WriteString("Values", "IMbSerial", k.IMbSerial);
    ini.WriteString("Values", "IMpbSerial", k.IMpbSerial);
}

// What the counter beside the log says when it is first written.
constexpr const char* kCounterHeader =
    "; The article numbers every copy of Greenslip that keeps its mail log in\n"
    "; this folder takes its next number from. Each computer keeps its own\n"
    "; customer ID and pre-printed form number; those two are not read from here.\n";

}  // namespace

std::string SharedNumbers::CounterFolder(const Settings& settings) {
    std::string folder = settings.ReportsDir;
    if (!folder.empty() && folder.back() != '/') folder += '/';
    return folder;
}

// The companion lock: a write lock on its first byte, taken with short
// retries until the wait is over. The settings file's lock makes its folder
// and is skipped when it cannot be made; the counter's (inFolder) never
// makes the folder, which may be a share that is not mounted, and refuses
// when it cannot be made.
class SharedNumbers::Lock {
public:
    Lock(const std::string& path, std::chrono::milliseconds wait, const std::string& inFolder = {}) {
        std::error_code ec;
        if (inFolder.empty()) std::filesystem::create_directories(std::filesystem::path(path).parent_path(), ec);
        fd_ = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
        if (fd_ < 0) {
            if (inFolder.empty()) return;  // nowhere to lock: handled as a single copy
            throw NumbersUnreachableError("The article number could not be taken: the mail log folder \"" +
                                          inFolder + "\", where every copy keeps its numbers, cannot be reached (" +
                                          std::strerror(errno) + ").");
        }
        const auto deadline = std::chrono::steady_clock::now() + wait;
        while (!LockRange(fd_, 0, 1)) {
            if (std::chrono::steady_clock::now() >= deadline) {
                ::close(fd_);
                throw SettingsBusyError("The article number could not be taken: another copy of the program "
                                        "kept the " + std::string(inFolder.empty() ? "settings file" : "numbers file") +
                                        " \"" + path.substr(0, path.size() - 5) + "\" locked.");
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
    }
    ~Lock() {
        if (fd_ >= 0) ::close(fd_);  // closing the descriptor releases its lock
    }
    Lock(const Lock&) = delete;
    Lock& operator=(const Lock&) = delete;

private:
    int fd_ = -1;
};

// Both locks a change of the numbers needs: the settings file's, then, with
// a log folder set, the counter's beside the log. Always in this order.
class SharedNumbers::Locks {
public:
    Locks(const SharedNumbers& numbers, const Settings& settings) : local_(numbers.LockPath(), numbers.lockWait) {
        const std::string folder = CounterFolder(settings);
        if (!folder.empty()) counter_.emplace(folder + kCounterFileName + ".lock", numbers.lockWait, folder);
    }

private:
    Lock local_;
    std::optional<Lock> counter_;
};

SharedNumbers::SharedNumbers(std::string settingsPath) : path_(std::move(settingsPath)) {}

NumberKeys SharedNumbers::ReadFileKeys() const {
    IniFile ini(path_);
    ini.Load();  // an unreadable file reads as the defaults, as at start
    return KeysIn(ini);
}

NumberKeys SharedNumbers::ReadStoreKeys(const Settings& settings, bool* ok) const {
    const NumberKeys local = ReadFileKeys();
    if (ok) *ok = true;
    const std::string folder = CounterFolder(settings);
    if (folder.empty()) return local;
    IniFile counter(folder + kCounterFileName);
    std::error_code ec;
    const bool exists = std::filesystem::exists(counter.Path(), ec);
    if (ec || (exists && !counter.Load())) {
        if (ok) *ok = false;  // never taken for a counter that is not there yet
        return local;
    }
    if (!exists) return local;  // no counter yet: this copy's numbers start it
    // Every number key rides in the counter; keys it lacks (written by an
    // older copy) keep this copy's values.
    NumberKeys shared = KeysIn(counter, local);
    shared.CustID = local.CustID;
    shared.MailerNum = local.MailerNum;
    return shared;
}

bool SharedNumbers::WriteCounter(const std::string& folder, const NumberKeys& keys, std::string* error) {
    IniFile counter(folder + kCounterFileName);
    std::error_code ec;
    const bool exists = std::filesystem::exists(counter.Path(), ec);
    if (ec || !counter.Load()) {
        if (error) *error = "Cannot read \"" + counter.Path() + "\"";
        return false;
    }
    if (!exists) counter.LoadFromText(kCounterHeader);
    PutKeys(counter, keys);
    return counter.Save(error);
}

bool SharedNumbers::WriteLocal(const NumberKeys& keys, const Settings& record, std::string* error) {
    IniFile ini(path_);
    if (!ini.Load()) {
        if (error) *error = "Cannot read \"" + path_ + "\"";
        return false;
    }
    // A file that does not exist yet is written whole, so that it has the
    // layout of a file written from scratch.
    std::error_code ec;
    if (!std::filesystem::exists(path_, ec)) StoreSettings(record, ini);
    PutKeys(ini, keys);
    return ini.Save(error);
}

bool SharedNumbers::WriteKeys(const NumberKeys& keys, const Settings& record, std::string* error) {
    const std::string folder = CounterFolder(record);
    if (!folder.empty()) {
        // The counter first: the settings file never runs ahead of it.
        if (!WriteCounter(folder, keys, error)) return false;
        known_ = keys;
    }
    if (!WriteLocal(keys, record, error)) return false;
    known_ = keys;
    return true;
}

void SharedNumbers::Load(Settings& settings, const std::string& dataDir,
                         const std::function<bool()>& tryLoadLogo) {
    // Saves replace the file by a rename, so a read needs no lock.
    IniFile ini(path_);
    ini.Load();  // an unreadable file reads as empty: every default
    LoadSettings(settings, ini, dataDir, tryLoadLogo);
    known_ = KeysIn(ini);
    // With a log folder the counter beside the log holds the numbers: the
    // window shows where every copy will go on from.
    Refresh(settings);
}

void SharedNumbers::Refresh(Settings& settings) {
    bool counterRead = true;
    const NumberKeys inFile = ReadStoreKeys(settings, &counterRead);
    if (!counterRead) return;
    if (known_ && inFile != *known_) {
        SetNumberKeys(settings, inFile);
        known_ = inFile;
    }
}

NumberReservation SharedNumbers::Reserve(Settings& settings, const std::function<void(Settings&)>& step) {
    Locks lock(*this, settings);
    const std::string folder = CounterFolder(settings);
    bool read = true;
    const NumberKeys inFile = ReadStoreKeys(settings, &read);
    if (!read)
        throw NumbersUnreachableError("The article number could not be taken: the numbers file \"" + folder +
                                      kCounterFileName + "\" beside the mail log cannot be read.");
    Settings work = settings;
    if (known_ && inFile != *known_) SetNumberKeys(work, inFile);  // another copy has printed
    NumberReservation r;
    r.before = NumberKeysOf(work);
    step(work);
    r.reserved = NumberKeysOf(work);
    if (!folder.empty()) {
        // Every copy that logs here goes on from the counter: a number it
        // does not hold is not taken.
        std::string why;
        if (!WriteCounter(folder, r.reserved, &why))
            throw NumbersUnreachableError("The article number could not be taken: the numbers file beside the "
                                          "mail log cannot be written. " + why);
        known_ = r.reserved;
        WriteLocal(r.reserved, work, nullptr);  // the settings file shows them; the close saves them again
    } else if (WriteLocal(r.reserved, work, nullptr)) {
        known_ = r.reserved;
    } else {
        // The file still holds what it held, and this copy goes on from its
        // own record next time, as a single copy would.
        known_ = inFile;
    }
    SetNumberKeys(settings, r.reserved);
    return r;
}

void SharedNumbers::GiveBack(Settings& settings, const NumberReservation& r) {
    SetNumberKeys(settings, r.before);
    try {
        Locks lock(*this, settings);
        bool read = true;
        if (ReadStoreKeys(settings, &read) == r.reserved && read) WriteKeys(r.before, settings, nullptr);
    } catch (const SettingsBusyError&) {
        // The number stays taken in the file: a gap, never a duplicate.
    }
}

bool SharedNumbers::Commit(const Settings& settings, const NumberReservation& r, std::string* error) {
    try {
        Locks lock(*this, settings);
        bool read = true;
        const NumberKeys inFile = ReadStoreKeys(settings, &read);
        if (!read) {
            if (error) *error = "The numbers file beside the mail log cannot be read.";
            return false;
        }
        const NumberKeys mine = NumberKeysOf(settings);
        if (mine == inFile) {
            known_ = inFile;
            return true;
        }
        // Another copy has stepped past the reservation: its numbers stay,
        // unless the user typed a number of their own over the reserved one.
        const bool othersWrote = known_ && inFile != *known_;
        if (othersWrote && mine == r.reserved) return true;
        return WriteKeys(mine, settings, error);
    } catch (const SettingsBusyError& e) {
        if (error) *error = e.what();
        return false;
    }
}

bool SharedNumbers::Publish(const Settings& settings, std::string* error) {
    try {
        Locks lock(*this, settings);
        return WriteKeys(NumberKeysOf(settings), settings, error);
    } catch (const SettingsBusyError& e) {
        if (error) *error = e.what();
        return false;
    }
}

bool SharedNumbers::SaveAll(const Settings& settings, std::string* error) {
    try {
        Lock lock(LockPath(), lockWait);
        // The counter beside the log when it can be reached; the rest of the
        // settings are saved either way.
        const std::string folder = CounterFolder(settings);
        std::optional<Lock> counterLock;
        bool counterRead = false;
        if (!folder.empty()) {
            try {
                counterLock.emplace(folder + kCounterFileName + ".lock", lockWait, folder);
                counterRead = true;
            } catch (const SettingsBusyError&) {
            }
        }
        IniFile ini(path_);
        if (!ini.Load()) {
            if (error) *error = "Cannot read \"" + path_ + "\"";
            return false;
        }
        NumberKeys inFile = KeysIn(ini);
        if (counterRead) inFile = ReadStoreKeys(settings, &counterRead);
        StoreSettings(settings, ini);
        const bool othersWrote = known_ && inFile != *known_;
        if (othersWrote) PutKeys(ini, inFile);
        if (!othersWrote && counterRead && inFile != NumberKeysOf(settings) &&
            !WriteCounter(folder, NumberKeysOf(settings), error))
            return false;
        if (!ini.Save(error)) return false;
        if (!othersWrote) known_ = NumberKeysOf(settings);
        return true;
    } catch (const SettingsBusyError& e) {
        if (error) *error = e.what();
        return false;
    }
}

}  // namespace gs
