// Two running copies on one settings file, played by two SharedNumbers in
// one process: the companion lock is an open-file-description lock, so two
// opens conflict here exactly as two processes do.
#include "settings/sharednumbers.h"

#include "platform/filelock.h"
#include "platform/inifile.h"

#include <fcntl.h>
#include <unistd.h>

#include <filesystem>
#include <gtest/gtest.h>
#include <set>

namespace gs {
namespace {

// The serial arithmetic is the numbering rules' business; plain +1 will do here.
void StepSerial(Settings& s) {
    s.SerialNum = std::to_string(std::stoi(s.SerialNum) + 1);
    s.SerialNum.insert(0, 8 - s.SerialNum.size(), '0');
}

class SharedNumbersTest : public ::testing::Test {
protected:
    void SetUp() override {
        char tmpl[] = "/tmp/greenslip-numbers-XXXXXX";
        dir_ = mkdtemp(tmpl);
        path_ = dir_ + "/gslip3.ini";
        IniFile ini(path_);
        ini.LoadFromText("[Type]\nCompany=Quorvale\n[Values]\nCustID=12-345-6789\nSerialNum=00000041\n");
        ASSERT_TRUE(ini.Save());
    }
    void TearDown() override { std::filesystem::remove_all(dir_); }

    // One running copy: its settings record and its view of the file.
    struct Copy {
        explicit Copy(const std::string& path) : numbers(path) { numbers.Load(settings, "/opt/gs/", {}); }
        Settings settings;
        SharedNumbers numbers;
        NumberReservation Next() { return numbers.Reserve(settings, StepSerial); }
    };

    std::string FileSerial() const {
        IniFile ini(path_);
        ini.Load();
        return ini.ReadString("Values", "SerialNum", "");
    }

    std::string dir_, path_;
};

TEST_F(SharedNumbersTest, OneCopyStepsItsOwnRecordAndGivesBackWhatItTook) {
    Copy a(path_);
    // A number set only in memory (the Mailer Number dialog) is where the next piece goes on from.
    a.settings.SerialNum = "00000099";
    const NumberReservation r = a.Next();
    EXPECT_EQ(r.before.SerialNum, "00000099");
    EXPECT_EQ(a.settings.SerialNum, "00000100");
    EXPECT_EQ(FileSerial(), "00000100");
    a.numbers.GiveBack(a.settings, r);
    EXPECT_EQ(a.settings.SerialNum, "00000099");
    EXPECT_EQ(FileSerial(), "00000099");
    EXPECT_TRUE(std::filesystem::exists(path_ + ".lock"));
}

TEST_F(SharedNumbersTest, TwoCopiesNeverTakeTheSameNumber) {
    Copy a(path_), b(path_);
    const NumberReservation ra = a.Next();
    const NumberReservation rb = b.Next();  // while a's dialog is open
    EXPECT_EQ(ra.reserved.SerialNum, "00000042");
    EXPECT_EQ(rb.reserved.SerialNum, "00000043");
    // a cancels: b has stepped past, so 42 is not handed out again.
    a.numbers.GiveBack(a.settings, ra);
    EXPECT_EQ(a.settings.SerialNum, "00000041");
    EXPECT_EQ(FileSerial(), "00000043");
    EXPECT_EQ(a.Next().reserved.SerialNum, "00000044");
    EXPECT_EQ(b.Next().reserved.SerialNum, "00000045");

    // b cancels its last one while nobody has stepped past it: it comes back.
    const NumberReservation rb2 = b.Next();
    b.numbers.GiveBack(b.settings, rb2);
    EXPECT_EQ(FileSerial(), "00000045");
    EXPECT_EQ(a.Next().reserved.SerialNum, "00000046");
}

TEST_F(SharedNumbersTest, TheTrackingSerialIsSharedLikeTheArticleNumber) {
    Copy a(path_), b(path_);
    const auto stepBoth = [](Settings& s) {
        StepSerial(s);
        s.IMbSerial = s.SerialNum;
    };
    const NumberReservation ra = a.numbers.Reserve(a.settings, stepBoth);
    EXPECT_EQ(ra.reserved.IMbSerial, "00000042");
    const NumberReservation rb = b.numbers.Reserve(b.settings, stepBoth);
    EXPECT_EQ(rb.reserved.IMbSerial, "00000043");  // b went on from a's serial
    IniFile ini(path_);
    ini.Load();
    EXPECT_EQ(ini.ReadString("Values", "IMbSerial", ""), "00000043");
    b.numbers.GiveBack(b.settings, rb);
    EXPECT_EQ(b.settings.IMbSerial, "00000042");
}

TEST_F(SharedNumbersTest, CommitKeepsANumberTypedOverTheReservationAndNeverGoesBack) {
    Copy a(path_), b(path_);
    NumberReservation ra = a.Next();                 // 42
    a.settings.SerialNum = "00000100";               // typed in the dialog
    ASSERT_TRUE(a.numbers.Commit(a.settings, ra, nullptr));
    EXPECT_EQ(FileSerial(), "00000100");
    EXPECT_EQ(b.Next().reserved.SerialNum, "00000101");

    // a printed its reservation as it stood while b stepped past: b's number stays.
    ra = a.Next();                                   // 102
    b.Next();                                        // 103
    ASSERT_TRUE(a.numbers.Commit(a.settings, ra, nullptr));
    EXPECT_EQ(FileSerial(), "00000103");
    EXPECT_EQ(a.Next().reserved.SerialNum, "00000104");
}

TEST_F(SharedNumbersTest, SavingTheWholeRecordKeepsAnotherCopysNumbers) {
    Copy a(path_), b(path_);
    b.Next();
    b.Next();  // 43 in the file
    a.settings.Postage = "0.44";
    ASSERT_TRUE(a.numbers.SaveAll(a.settings, nullptr));
    IniFile ini(path_);
    ini.Load();
    EXPECT_EQ(ini.ReadString("Values", "Postage", ""), "0.44");
    EXPECT_EQ(ini.ReadString("Values", "SerialNum", ""), "00000043");
    EXPECT_EQ(a.Next().reserved.SerialNum, "00000044");

    // Alone again, its own numbers are saved as they stand.
    a.settings.SerialNum = "00000050";
    ASSERT_TRUE(a.numbers.SaveAll(a.settings, nullptr));
    EXPECT_EQ(FileSerial(), "00000050");

    // Refresh picks up what another copy wrote, and only that.
    b.numbers.Refresh(b.settings);
    EXPECT_EQ(b.settings.SerialNum, "00000050");
}

TEST_F(SharedNumbersTest, AHeldLockIsWaitedForBoundedAndAFailedStepChangesNothing) {
    Copy a(path_);
    a.numbers.lockWait = std::chrono::milliseconds(50);
    const int fd = ::open((path_ + ".lock").c_str(), O_RDWR | O_CREAT, 0644);
    ASSERT_GE(fd, 0);
    ASSERT_TRUE(LockRange(fd, 0, 1));
    EXPECT_THROW(a.Next(), SettingsBusyError);
    EXPECT_EQ(a.settings.SerialNum, "00000041");
    std::string error;
    EXPECT_FALSE(a.numbers.Publish(a.settings, &error));
    EXPECT_NE(error.find("locked"), std::string::npos);
    ::close(fd);

    EXPECT_THROW(a.numbers.Reserve(a.settings, [](Settings& s) {
        s.SerialNum = "00000077";
        throw std::runtime_error("not a number");
    }), std::runtime_error);
    EXPECT_EQ(a.settings.SerialNum, "00000041");
    EXPECT_EQ(FileSerial(), "00000041");
}

TEST_F(SharedNumbersTest, AFirstReservationWithoutAFileWritesTheWholeRecord) {
    std::filesystem::remove(path_);
    Copy a(path_);
    a.settings.Line1 = "ACME Corp";
    a.Next();
    IniFile ini(path_);
    ini.Load();
    // The layout of a file written from scratch, not a lone [Values] section.
    EXPECT_EQ(ini.Text().rfind("[Type]\nCompany=Quorvale\nBarCodeApp=1\n[YourAddress]\nLine1=ACME Corp\n", 0), 0u)
        << ini.Text();
    EXPECT_EQ(ini.ReadString("Values", "SerialNum", ""), "00000001");
}

// Two computers, each with its own settings file, keep one mail log in a
// shared folder: their numbers come from the counter beside the log.
class LogFolderNumbersTest : public SharedNumbersTest {
protected:
    void SetUp() override {
        SharedNumbersTest::SetUp();
        log_ = dir_ + "/server/log";
        std::filesystem::create_directories(log_);
        other_ = dir_ + "/other/gslip3.ini";
        std::filesystem::create_directories(dir_ + "/other");
        for (const std::string& path : {path_, other_}) {
            IniFile ini(path);
            ini.LoadFromText("[System Path]\nReports=" + log_ + "\n[Values]\nCustID=12-345-6789\n"
                             "SerialNum=00000041\nMailerNum=71000000000000000017\nIMbSerial=000000007\n");
            ASSERT_TRUE(ini.Save());
        }
    }
    std::string Counter() const { return log_ + "/gslip3-numbers.ini"; }
    static std::string Key(const std::string& file, const char* key) {
        IniFile ini(file);
        ini.Load();
        return ini.ReadString("Values", key, "");
    }
    std::string log_, other_;
};

TEST_F(LogFolderNumbersTest, TwoSettingsFilesOnOneLogFolderStepOneCounter) {
    Copy a(path_), b(other_);
    std::set<std::string> taken;
    for (int i = 0; i < 5; ++i) {
        taken.insert(a.Next().reserved.SerialNum);
        taken.insert(b.Next().reserved.SerialNum);
    }
    EXPECT_EQ(taken.size(), 10u);
    EXPECT_EQ(*taken.rbegin(), "00000051");
    EXPECT_EQ(Key(Counter(), "SerialNum"), "00000051");
    // Each settings file keeps showing the numbers its copy took last.
    EXPECT_EQ(Key(other_, "SerialNum"), "00000051");
    EXPECT_EQ(Key(path_, "SerialNum"), "00000050");

    // A number set in the Mailer Number dialog is every copy's next one.
    a.settings.SerialNum = "00000200";
    ASSERT_TRUE(a.numbers.Publish(a.settings, nullptr));
    EXPECT_EQ(b.Next().reserved.SerialNum, "00000201");

    // A copy started later shows the counter's numbers at once; the
    // customer ID and the pre-printed form number stay each computer's own.
    IniFile ini(path_);
    ini.Load();
    ASSERT_EQ(ini.ReadString("Values", "SerialNum", ""), "00000200");
    ini.WriteString("Values", "CustID", "98-765-4321");
    ini.WriteString("Values", "MailerNum", "71000000000000000099");
    ASSERT_TRUE(ini.Save());
    Copy c(path_);
    EXPECT_EQ(c.settings.SerialNum, "00000201");
    EXPECT_EQ(c.settings.CustID, "98-765-4321");
    EXPECT_EQ(c.settings.MailerNum, "71000000000000000099");
    EXPECT_EQ(c.Next().reserved.CustID, "98-765-4321");
}

TEST_F(LogFolderNumbersTest, EveryNumberKeyRidesInTheCounterAndMissingOnesKeepTheLocalValue) {
    Copy a(path_), b(other_);
    const auto stepBoth = [](Settings& s) {
        StepSerial(s);
        s.IMbSerial = "0000000" + s.SerialNum.substr(6);
    };
    a.numbers.Reserve(a.settings, stepBoth);
    EXPECT_EQ(b.numbers.Reserve(b.settings, stepBoth).before.IMbSerial, "000000042");
    EXPECT_EQ(Key(Counter(), "IMbSerial"), "000000043");

    // A counter written by a copy that did not know a key: that key keeps
    // this copy's value rather than falling back to the default.
    IniFile counter(Counter());
    counter.LoadFromText("[Values]\nSerialNum=00000060\n");
    ASSERT_TRUE(counter.Save());
    const NumberReservation r = a.Next();
    EXPECT_EQ(r.before.SerialNum, "00000060");
    EXPECT_EQ(r.before.IMbSerial, "000000042");
}

TEST_F(LogFolderNumbersTest, AFolderThatCannotBeReachedTakesNoNumber) {
    Copy a(path_), b(other_);
    a.Next();  // the counter now holds 42
    std::filesystem::rename(log_, log_ + ".gone");  // the share is not mounted
    EXPECT_THROW(b.Next(), NumbersUnreachableError);
    EXPECT_EQ(b.settings.SerialNum, "00000041");
    EXPECT_EQ(Key(other_, "SerialNum"), "00000041");
    EXPECT_FALSE(std::filesystem::exists(log_));  // never made on the local disk
    std::string error;
    EXPECT_FALSE(b.numbers.Publish(b.settings, &error));
    EXPECT_NE(error.find(log_), std::string::npos) << error;
    // The rest of the settings are still saved at the close.
    b.settings.Postage = "0.44";
    EXPECT_TRUE(b.numbers.SaveAll(b.settings, nullptr));
    EXPECT_EQ(Key(other_, "Postage"), "0.44");

    std::filesystem::rename(log_ + ".gone", log_);
    EXPECT_EQ(b.Next().reserved.SerialNum, "00000043");
}

}  // namespace
}  // namespace gs
