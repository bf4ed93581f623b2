#include "settings/sharednumbers.h"

#include "platform/filelock.h"
#include "platform/inifile.h"

#include <fcntl.h>
#include <unistd.h>

#include <filesystem>
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

NumberKeys KeysIn(const IniFile& ini) {
    const Settings d;
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

}  // namespace

// The companion lock: a write lock on its first byte, taken with short
// retries until the wait is over.
class SharedNumbers::Lock {
public:
    Lock(const std::string& path, std::chrono::milliseconds wait) {
        std::error_code ec;
        std::filesystem::create_directories(std::filesystem::path(path).parent_path(), ec);
        fd_ = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
        if (fd_ < 0) return;  // nowhere to lock: handled as a single copy
        const auto deadline = std::chrono::steady_clock::now() + wait;
        while (!LockRange(fd_, 0, 1)) {
            if (std::chrono::steady_clock::now() >= deadline) {
                ::close(fd_);
                throw SettingsBusyError("The article number could not be taken: another copy of the program "
                                        "kept the settings file \"" + path.substr(0, path.size() - 5) +
                                        "\" locked.");
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

SharedNumbers::SharedNumbers(std::string settingsPath) : path_(std::move(settingsPath)) {}

NumberKeys SharedNumbers::ReadFileKeys() const {
    IniFile ini(path_);
    ini.Load();  // an unreadable file reads as the defaults, as at start
    return KeysIn(ini);
}

bool SharedNumbers::WriteKeys(const NumberKeys& keys, const Settings& record, std::string* error) {
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
    if (!ini.Save(error)) return false;
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
}

void SharedNumbers::Refresh(Settings& settings) {
    const NumberKeys inFile = ReadFileKeys();
    if (known_ && inFile != *known_) {
        SetNumberKeys(settings, inFile);
        known_ = inFile;
    }
}

NumberReservation SharedNumbers::Reserve(Settings& settings, const std::function<void(Settings&)>& step) {
    Lock lock(LockPath(), lockWait);
    const NumberKeys inFile = ReadFileKeys();
    Settings work = settings;
    if (known_ && inFile != *known_) SetNumberKeys(work, inFile);  // another copy has printed
    NumberReservation r;
    r.before = NumberKeysOf(work);
    step(work);
    r.reserved = NumberKeysOf(work);
    // When the write fails the file still holds what it held, and this copy
    // goes on from its own record next time, as a single copy would.
    if (!WriteKeys(r.reserved, work, nullptr)) known_ = inFile;
    SetNumberKeys(settings, r.reserved);
    return r;
}

void SharedNumbers::GiveBack(Settings& settings, const NumberReservation& r) {
    SetNumberKeys(settings, r.before);
    try {
        Lock lock(LockPath(), lockWait);
        if (ReadFileKeys() == r.reserved) WriteKeys(r.before, settings, nullptr);
    } catch (const SettingsBusyError&) {
        // The number stays taken in the file: a gap, never a duplicate.
    }
}

bool SharedNumbers::Commit(const Settings& settings, const NumberReservation& r, std::string* error) {
    try {
        Lock lock(LockPath(), lockWait);
        const NumberKeys inFile = ReadFileKeys();
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
        Lock lock(LockPath(), lockWait);
        return WriteKeys(NumberKeysOf(settings), settings, error);
    } catch (const SettingsBusyError& e) {
        if (error) *error = e.what();
        return false;
    }
}

bool SharedNumbers::SaveAll(const Settings& settings, std::string* error) {
    try {
        Lock lock(LockPath(), lockWait);
        IniFile ini(path_);
        if (!ini.Load()) {
            if (error) *error = "Cannot read \"" + path_ + "\"";
            return false;
        }
        const NumberKeys inFile = KeysIn(ini);
        StoreSettings(settings, ini);
        const bool othersWrote = known_ && inFile != *known_;
        if (othersWrote) PutKeys(ini, inFile);
        if (!ini.Save(error)) return false;
        if (!othersWrote) known_ = NumberKeysOf(settings);
        return true;
    } catch (const SettingsBusyError& e) {
        if (error) *error = e.what();
        return false;
    }
}

}  // namespace gs
