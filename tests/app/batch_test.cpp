// greenslip-batch end to end: the real executable, copied into a sandbox
// program folder so that its settings file, log and PDFs are the test's own.
#include "app/tf_main.h"

#include "app/batchcommand.h"

#include "barcode/decoders.h"
#include "dbase/tzdbf.h"
#include "numbering/articlenumber.h"
#include "platform/addressmemo.h"
#include "platform/inifile.h"
#include "platform/scripteduserinteraction.h"
#include "printing/printtarget.h"
#include "support/foldergoeswithpage.h"
#include "support/pdftools.h"
#include "support/tempdir.h"

#include <QApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QThread>
#include <gtest/gtest.h>
#include <functional>
#include <set>
#include <sstream>

namespace gs {
namespace {

struct BatchRun {
    int exitCode = -1;
    QString out, err;
};

class BatchTest : public ::testing::Test {
protected:
    void SetUp() override {
        program = QString::fromStdString(dirs.Path() + "program/");
        ASSERT_TRUE(QFile::copy(GREENSLIP_BATCH_EXE, program + "greenslip-batch"));
        IniFile ini(dirs.SettingsFile());
        ini.LoadFromText("[Type]\nCompany=Quorvale\nBarCodeApp=0\n"
                         "[YourAddress]\nLine1=ACME Corp\nLine2=1 Main St\nCity=Springfield\nState=IL\nZip=62701\n"
                         "[Values]\nCustID=12-345-6789\nSerialNum=00000041\n");
        ASSERT_TRUE(ini.Save());
    }

    QString WriteList(const QByteArray& text, const QString& name = "list.csv") {
        const QString path = QString::fromStdString(dirs.Path()) + name;
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(text);
        return path;
    }

    // Runs the sandbox's copy, or `exe`, with the test's environment as
    // `adjust` changes it.
    QProcess* Start(const QStringList& args, const std::function<void(QProcessEnvironment&)>& adjust = {},
                    const QString& exe = {}) {
        auto* p = new QProcess;
        p->setProgram(exe.isEmpty() ? program + "greenslip-batch" : exe);
        p->setArguments(args);
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.remove("DISPLAY");
        env.remove("QT_QPA_PLATFORM");  // the command needs neither
        if (adjust) adjust(env);
        p->setProcessEnvironment(env);
        p->start();
        return p;
    }
    static BatchRun Finish(QProcess* p) {
        BatchRun r;
        EXPECT_TRUE(p->waitForFinished(60000));
        r.exitCode = p->exitCode();
        r.out = QString::fromUtf8(p->readAllStandardOutput());
        r.err = QString::fromUtf8(p->readAllStandardError());
        delete p;
        return r;
    }
    BatchRun Batch(const QStringList& args) { return Finish(Start(args)); }

    std::vector<std::string> LogNumbers() const { return LogNumbers(dirs.Path() + "program/Reports/report3.dbf"); }
    static std::vector<std::string> LogNumbers(const std::string& file) {
        std::vector<std::string> out;
        if (!QFile::exists(QString::fromStdString(file))) return out;
        TTzDbf log;
        log.SetDbfFileName(file);
        log.Open();
        for (log.GoTop(); !log.Eof(); log.Next()) out.push_back(log.GetFieldText("mailernum").substr(0, 24));
        log.Close();
        return out;
    }
    std::string SavedSerial() const {
        IniFile ini(dirs.SettingsFile());
        ini.Load();
        return ini.ReadString("Values", "SerialNum", "");
    }
    // Every file under the sandbox with a hash of its bytes.
    std::map<QString, QByteArray> Snapshot() const {
        std::map<QString, QByteArray> files;
        QDirIterator it(QString::fromStdString(dirs.Path()), QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            QFile f(it.next());
            f.open(QIODevice::ReadOnly);
            files[it.filePath()] = QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha1);
        }
        return files;
    }

    test::SandboxDirs dirs;
    QString program;
};

const QByteArray kThree = "\"John Smith\",\"12 Oak Ave\",\"\",\"\",\"Dayton\",\"OH\",\"45402-1234\"\r\n"
                          "Ann Lee,1 Elm St,,,Boise,ID,83702\r\n"
                          "\"Lee, Ann\",\"PO Box 7\",\"\",\"\",\"Boise\",\"ID\",\"837021234\"\r\n";

// The Code 128 barcode as it sits in the PDF: turned 180 degrees and
// stretched to 2.5 inches without smoothing. Sampling one row back at the
// bitmap's own width undoes the stretch; the reference reader does the rest.
std::string ReadStretchedCode128(const QImage& stored) {
    const QImage upright = stored.convertToFormat(QImage::Format_Grayscale8).mirrored(true, true);
    const int row = upright.height() / 2;
    for (int width = upright.width() / 2; width <= upright.width(); ++width) {
        QImage sampled(width, 1, QImage::Format_Grayscale8);
        for (int x = 0; x < width; ++x)
            sampled.scanLine(0)[x] =
                upright.constScanLine(row)[static_cast<int>((x + 0.5) * upright.width() / width)];
        if (const auto reading = testing::ReadCode128(sampled, 0)) return reading->text;
    }
    return {};
}

TEST_F(BatchTest, ThreeLinesGiveThreeLetterPdfsWhoseBarcodesDecodeToTheSteppedNumbers) {
    if (!test::PopplerToolsPresent()) GTEST_SKIP() << "poppler-utils are not installed";
    const QString pdfDir = QString::fromStdString(dirs.Path()) + "out";
    const BatchRun r = Batch({"print", WriteList(kThree), "--pdf", pdfDir, "--re", "Lease 7"});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();

    std::vector<std::string> numbers;
    for (const char* serial : {"00000042", "00000043", "00000044"})
        numbers.push_back(ComposeArticleNumber("123456789", serial));
    const QStringList lines = r.out.split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 3);
    EXPECT_EQ(lines[0].toStdString(), FormatArticleNumber(numbers[0]) + "\tJohn Smith, Dayton OH 45402-1234\tprinted");
    EXPECT_EQ(lines[2].toStdString(), FormatArticleNumber(numbers[2]) + "\tLee, Ann, Boise ID 83702-1234\tprinted");
    EXPECT_TRUE(r.err.contains("3 pieces printed.")) << r.err.toStdString();

    for (const std::string& number : numbers) {
        const QString pdf = pdfDir + "/" + QString::fromStdString(number) + ".pdf";
        ASSERT_TRUE(QFile::exists(pdf)) << pdf.toStdString();
        EXPECT_EQ(test::PdfPageSize(pdf), QSizeF(612, 792));
        const auto images = test::ExtractPdfImages(pdf);
        ASSERT_GE(images.size(), 2u);
        EXPECT_EQ(ReadStretchedCode128(images[0]), number);  // B1
        EXPECT_EQ(ReadStretchedCode128(images[1]), number);  // B2
        EXPECT_TRUE(test::PdfText(pdf).contains("RE: Lease 7"));
    }
    std::vector<std::string> grouped;
    for (const auto& n : numbers) grouped.push_back(FormatArticleNumber(n));
    EXPECT_EQ(LogNumbers(), grouped);
    EXPECT_EQ(SavedSerial(), "00000044");
}

// --format impb for one run: refused before any number while the IMpb
// fields are missing; with them, each page's two GS1-128 symbols read back
// (zbarimg on the page rendered at 300 and 600 dpi) as AI 420 with the
// recipient's ZIP and the 22 digits; the log keeps the 22 digits; the
// settings file's format stays 20.
TEST_F(BatchTest, FormatImpbPrintsGs1SymbolsThatZbarReadsAtBothResolutions) {
    const QString list = WriteList(kThree.left(kThree.indexOf("Ann Lee")));  // John Smith, 45402-1234
    const QString pdfDir = QString::fromStdString(dirs.Path()) + "out";
    BatchRun r = Batch({"print", list, "--pdf", pdfDir, "--format", "impb"});
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_TRUE(r.err.contains("the IMpb number is chosen but cannot be printed (The IMpb Service Type Code is missing.)"))
        << r.err.toStdString();
    EXPECT_EQ(Batch({"print", list, "--format", "22"}).exitCode, 2);

    IniFile ini(dirs.SettingsFile());
    ini.Load();
    ini.WriteString("Values", "IMpbServiceType", "071");
    ini.WriteString("Values", "IMpbMailerId", "901234567");
    ini.WriteString("Values", "IMpbSerial", "0000000");
    ASSERT_TRUE(ini.Save());
    r = Batch({"print", list, "--pdf", pdfDir, "--format", "impb"});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    const std::string number = "9207190123456700000017";
    EXPECT_TRUE(r.out.startsWith("9207 1901 2345 6700 0000 17\tJohn Smith")) << r.out.toStdString();
    EXPECT_EQ(LogNumbers(), std::vector<std::string>{number + "  "});
    ini.Load();
    EXPECT_EQ(ini.ReadString("Values", "IMpbSerial", ""), "0000001");
    EXPECT_EQ(ini.ReadString("Values", "ArticleFormat", ""), "");
    EXPECT_EQ(SavedSerial(), "00000041");

    const QString pdf = pdfDir + "/" + QString::fromStdString(number) + ".pdf";
    ASSERT_TRUE(QFile::exists(pdf));
    if (!test::PopplerToolsPresent() || QStandardPaths::findExecutable("zbarimg").isEmpty())
        GTEST_SKIP() << "poppler-utils or zbarimg are not installed";
    // zbar reports one of two equal symbols on a page: each is read from
    // its own part of the page (inches: the tall one, then the short one).
    const QRectF places[] = {{0.0, 4.0, 4.0, 1.0}, {2.3, 1.95, 3.1, 0.6}};
    for (const int dpi : {300, 600}) {
        for (const QRectF& place : places) {
            const QRect pixels = QRectF(place.topLeft() * dpi, place.size() * dpi).toRect();
            const QString part = QString::fromStdString(dirs.Path()) + "part";
            ASSERT_EQ(QProcess::execute("pdftoppm", {"-r", QString::number(dpi), "-gray", "-png", "-singlefile",
                                                     "-x", QString::number(pixels.x()), "-y",
                                                     QString::number(pixels.y()), "-W",
                                                     QString::number(pixels.width()), "-H",
                                                     QString::number(pixels.height()), pdf, part}),
                      0);
            QProcess zbar;
            zbar.start("zbarimg", {"--quiet", "--raw", part + ".png"});
            ASSERT_TRUE(zbar.waitForFinished(60000));
            EXPECT_EQ(QString::fromLatin1(zbar.readAllStandardOutput()).trimmed().toStdString(),
                      "420454021234\x1d" + number)
                << dpi << " dpi, at " << place.x() << ", " << place.y();
        }
    }
}

TEST_F(BatchTest, DryRunShowsTheNumbersAndChangesNoFile) {
    const QString list = WriteList(kThree);
    const auto before = Snapshot();
    const BatchRun r = Batch({"print", list, "--dry-run", "--pdf", QString::fromStdString(dirs.Path()) + "out"});
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.startsWith(QString::fromStdString(
        FormatArticleNumber(ComposeArticleNumber("123456789", "00000042")) + "\tJohn Smith, Dayton OH 45402-1234\tdry run\n")));
    EXPECT_EQ(r.out.count('\n'), 3);
    EXPECT_EQ(Snapshot(), before);
}

// A list saved as "Unicode" (UTF-16 with its mark, either byte order) reads
// as its text; characters the code page lacks are counted by line.
TEST_F(BatchTest, Utf16ListsReadAsTheirText) {
    const std::u16string text = u"Jos\u00e9 M\u00fcller,1 Elm St,,,Boise,ID,83702\r\n"
                                u"\u0141ukasz,2 Elm St,,,Boise,ID,83702\r\n";
    for (const bool little : {true, false}) {
        QByteArray bytes = little ? "\xFF\xFE" : "\xFE\xFF";
        for (char16_t u : text) {
            const char lo = static_cast<char>(u & 0xFF), hi = static_cast<char>(u >> 8);
            bytes += little ? lo : hi;
            bytes += little ? hi : lo;
        }
        const BatchRun r = Batch({"print", WriteList(bytes, little ? "le.csv" : "be.csv"), "--dry-run"});
        EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
        const QStringList lines = r.out.split('\n', Qt::SkipEmptyParts);
        ASSERT_EQ(lines.size(), 2) << r.out.toStdString();
        EXPECT_TRUE(lines[0].contains("\tJos\u00e9 M\u00fcller, Boise ID 83702\tdry run")) << lines[0].toStdString();
        EXPECT_TRUE(lines[1].contains("\t?ukasz, Boise ID 83702\tdry run")) << lines[1].toStdString();
        EXPECT_FALSE(r.out.contains(QChar(0)));
        EXPECT_TRUE(r.err.contains("1 character on line 2 could not be converted")) << r.err.toStdString();
    }
}

TEST_F(BatchTest, BadLinesAreReportedByNumberSkippedAndMakeTheExitOne) {
    const QString pdfDir = QString::fromStdString(dirs.Path()) + "out";
    const BatchRun r = Batch({"print",
                         WriteList("Ann Lee,1 Elm St,,,Boise,ID,83702\n"
                                   "Bob Stone,2 Elm St,,,Boise,ID\n"  // six fields
                                   "\n"                               // blank: not a piece, not an error
                                   ",,,,Boise,ID,83702\n"            // no name
                                   "Cy Dale,3 Elm St,,,Boise,ID,8370\n"
                                   "Di Fox,4 Elm St,,,Boise,ID,83702"),
                         "--pdf", pdfDir});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.err.contains("line 2: fewer than seven fields; skipped")) << r.err.toStdString();
    EXPECT_TRUE(r.err.contains("line 4: no name or address line; skipped"));
    EXPECT_TRUE(r.err.contains("line 5: the ZIP code \"8370\" is not five digits or ZIP+4; skipped"));
    EXPECT_TRUE(r.err.contains("3 lines not printed: 2, 4, 5.")) << r.err.toStdString();
    EXPECT_EQ(r.out.count('\n'), 2);
    EXPECT_EQ(QDir(pdfDir).entryList(QDir::Files).size(), 2);
    EXPECT_EQ(LogNumbers().size(), 2u);
    EXPECT_EQ(SavedSerial(), "00000043");  // no number went to a bad line
}

TEST_F(BatchTest, BadUsageAndUnusableSettingsExitTwoPrintingNothing) {
    const QString list = WriteList(kThree);
    const QString pdfDir = QString::fromStdString(dirs.Path()) + "out";
    struct Case {
        QStringList args;
        QString err;
    };
    const std::vector<Case> cases = {
        {{}, "no command given"},
        {{"print"}, "print needs a FILE"},
        {{"scan", list}, "unknown command \"scan\""},
        {{"print", list, "--pdf", pdfDir, "--colour"}, "unknown option --colour"},
        {{"print", list, "--pdf", pdfDir, "--printer", "office"}, "cannot be used together"},
        {{"print", list, "--pdf", pdfDir, "--postage", "cheap"}, "\"cheap\" is not an amount"},
        {{"print", list + ".missing", "--pdf", pdfDir}, "list.csv.missing"},
        {{"print", list, "--printer", "no-such-queue"}, "no printer \"no-such-queue\""},
    };
    for (const Case& c : cases) {
        const BatchRun r = Batch(c.args);
        EXPECT_EQ(r.exitCode, 2) << c.args.join(' ').toStdString();
        EXPECT_TRUE(r.err.contains(c.err)) << r.err.toStdString();
        EXPECT_TRUE(r.out.isEmpty());
    }
    EXPECT_FALSE(QDir(pdfDir).exists());

    const BatchRun help = Batch({"--help"});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_TRUE(help.out.startsWith("Usage: greenslip-batch print FILE"));
    EXPECT_EQ(Batch({"--version"}).out, "greenslip-batch " GREENSLIP_VERSION "\n");

    // A log folder that is set but cannot be reached (a share not mounted)
    // stops the run too, and is not made on the local disk.
    IniFile ini(dirs.SettingsFile());
    ini.Load();
    const std::string unmounted = dirs.Path() + "mnt/office/greenslip";
    ini.WriteString("System Path", "Reports", unmounted);
    ASSERT_TRUE(ini.Save());
    const BatchRun noLog = Batch({"print", list, "--pdf", pdfDir});
    EXPECT_EQ(noLog.exitCode, 2);
    EXPECT_TRUE(noLog.err.contains(QString::fromStdString("\"" + unmounted + "\" cannot be reached"))) << noLog.err.toStdString();
    EXPECT_FALSE(QFileInfo::exists(QString::fromStdString(dirs.Path() + "mnt")));
    EXPECT_FALSE(QDir(pdfDir).exists());
    ini.WriteString("System Path", "Reports", "");

    // A customer ID that was never entered stops the run before any number is used.
    ini.WriteString("Values", "CustID", "00-000-0000");
    ASSERT_TRUE(ini.Save());
    const BatchRun noId = Batch({"print", list, "--pdf", pdfDir});
    EXPECT_EQ(noId.exitCode, 2);
    EXPECT_TRUE(noId.err.contains("00-000-0000"));
    EXPECT_EQ(SavedSerial(), "00000041");
    EXPECT_TRUE(LogNumbers().empty());
    ini.WriteString("Values", "CustID", "12-345-6789");

    // So do Intelligent Mail tracking fields that make no tracking code.
    ini.WriteString("Values", "ZipBarCode", "IMB");
    ini.WriteString("Values", "IMbServiceType", "040");
    ini.WriteString("Values", "IMbMailerId", "12345");
    ini.WriteString("Values", "IMbSerial", "000000001");
    ASSERT_TRUE(ini.Save());
    const BatchRun noImb = Batch({"print", list, "--pdf", pdfDir});
    EXPECT_EQ(noImb.exitCode, 2);
    EXPECT_TRUE(noImb.err.contains("The Mailer ID has 6 or 9 digits.")) << noImb.err.toStdString();
    EXPECT_EQ(SavedSerial(), "00000041");
    EXPECT_TRUE(LogNumbers().empty());
    EXPECT_FALSE(QDir(pdfDir).exists());
}

TEST_F(BatchTest, APrinterFailureStopsTheRunAfterUsingOneNumber) {
    FailingPrintTarget failing("The printer is out of paper.");
    std::ostringstream out, err;
    const int status = RunBatch({"print", WriteList(kThree).toStdString()}, out, err, false, &failing);
    EXPECT_EQ(status, 1);
    EXPECT_EQ(out.str(), FormatArticleNumber(ComposeArticleNumber("123456789", "00000042")) +
                             "\tJohn Smith, Dayton OH 45402-1234\tnot printed: The printer is out of paper.\n");
    EXPECT_NE(err.str().find("printing stopped at line 1: The printer is out of paper."), std::string::npos);
    EXPECT_NE(err.str().find("3 lines not printed: 1, 2, 3."), std::string::npos) << err.str();
    EXPECT_EQ(SavedSerial(), "00000042");
    EXPECT_TRUE(LogNumbers().empty());
}

TEST_F(BatchTest, ALogFolderThatGoesMidRunStopsItAtTheFirstUnloggedPieceNamingIt) {
    QByteArray five;
    for (int i = 1; i <= 5; ++i) five += "Ann Lee " + QByteArray::number(i) + ",1 Elm St,,,Boise,ID,83702\n";
    const std::string list = WriteList(five).toStdString();
    const std::string share = dirs.Path() + "server/greenslip";
    struct Case {
        const char* what;
        std::string logFolder;  // "" for the program's own Reports folder
    } cases[] = {{"a set log folder on a share", share}, {"the program's Reports folder", ""}};
    std::string serial = "00000041";
    for (const Case& c : cases) {
        const std::string folder = c.logFolder.empty() ? dirs.Path() + "program/Reports" : c.logFolder;
        ASSERT_TRUE(QDir().mkpath(QString::fromStdString(folder)));
        IniFile ini(dirs.SettingsFile());
        ini.Load();
        ini.WriteString("System Path", "Reports", c.logFolder);
        ASSERT_TRUE(ini.Save());

        FolderGoesWithPage target(3, QString::fromStdString(folder));
        std::ostringstream out, err;
        const int status = RunBatch({"print", list}, out, err, false, &target);
        EXPECT_EQ(status, 2) << c.what;
        // The third piece printed, and nothing after it.
        EXPECT_EQ(target.recording.pages.size(), 3u) << c.what;
        const std::string third =
            FormatArticleNumber(ComposeArticleNumber("123456789", StepSerial(serial, +3)));
        const QStringList lines = QString::fromStdString(out.str()).split('\n', Qt::SkipEmptyParts);
        ASSERT_EQ(lines.size(), 3) << c.what << out.str();
        EXPECT_TRUE(lines[0].endsWith("\tprinted")) << c.what;
        EXPECT_TRUE(lines[2].startsWith(QString::fromStdString(third + "\tAnn Lee 3, Boise ID 83702\tprinted, not logged")))
            << c.what << lines[2].toStdString();
        EXPECT_NE(err.str().find("printing stopped at line 3: the piece " + third +
                                 " to Ann Lee 3, Boise ID 83702 was printed but is not in the mail log; "
                                 "enter it by hand."),
                  std::string::npos)
            << c.what << err.str();
        EXPECT_NE(err.str().find("2 lines not printed: 4, 5."), std::string::npos) << c.what << err.str();
        // Three numbers used; none of them is printed again.
        serial = StepSerial(serial, +3);
        EXPECT_EQ(SavedSerial(), serial) << c.what;
        // The log folder is not made again behind the user's back.
        EXPECT_FALSE(QFile::exists(QString::fromStdString(folder))) << c.what;
    }
}

TEST_F(BatchTest, NoPrinterAtAllSavesEveryPieceAsAPdfInPrinted) {
    // A scheduler that does not answer: no default queue, as on a computer
    // without CUPS printers.
    const BatchRun r = Finish(Start({"print", WriteList(kThree)}, [&](QProcessEnvironment& env) {
        env.insert("CUPS_SERVER", QString::fromStdString(dirs.Path()) + "no-cups.sock");
    }));
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    const QString printed = program + "Printed";
    EXPECT_TRUE(r.err.contains("there is no default printer; every piece is saved as a PDF file in \"" + printed + "\""))
        << r.err.toStdString();
    EXPECT_EQ(QDir(printed).entryList({"*.pdf"}, QDir::Files).size(), 3);
    EXPECT_EQ(LogNumbers().size(), 3u);
    EXPECT_EQ(SavedSerial(), "00000044");
}

// Both programs answer --help and --version on the terminal, with no
// display and no Qt platform chosen.
TEST_F(BatchTest, BothProgramsAnswerHelpAndVersionWithoutADisplay) {
    struct Case {
        QString exe, name;
    };
    for (const Case& c : {Case{GREENSLIP_WINDOW_EXE, "greenslip"}, Case{GREENSLIP_BATCH_EXE, "greenslip-batch"}}) {
        SCOPED_TRACE(c.name.toStdString());
        const BatchRun help = Finish(Start({"--help"}, {}, c.exe));
        EXPECT_EQ(help.exitCode, 0) << help.err.toStdString();
        EXPECT_TRUE(help.out.startsWith("Usage: " + c.name + " ")) << help.out.toStdString();
        const BatchRun version = Finish(Start({"--version"}, {}, c.exe));
        EXPECT_EQ(version.exitCode, 0) << version.err.toStdString();
        EXPECT_EQ(version.out, c.name + " " GREENSLIP_VERSION "\n");
    }
}

// A scheduler of the test's own (its socket in the sandbox, so nothing else
// on the machine sees it) with one PostScript queue that writes its jobs to
// a file, through the same filters a real printer's jobs pass.
class PrivateCups {
public:
    explicit PrivateCups(const QString& root) : root_(root) {
        for (const char* d : {"etc", "spool", "cache", "run", "log", "tmp", "out"}) QDir().mkpath(root + "/" + d);
        // The filters run as the scheduler's own user, which must reach its folders.
        const auto open = QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner |
                          QFileDevice::ReadOther | QFileDevice::ExeOther | QFileDevice::ExeGroup | QFileDevice::ReadGroup;
        QFile::setPermissions(root + "/..", open);
        QFile::setPermissions(root, open);
        QFile::setPermissions(root + "/tmp", open | QFileDevice::WriteOther | QFileDevice::WriteGroup);
        Write("etc/cupsd.conf", "Listen " + Socket() + "\nWebInterface No\nBrowsing No\n"
                                "<Location />\n  Order allow,deny\n  Allow all\n</Location>\n");
        Write("etc/cups-files.conf", "ServerRoot " + root + "/etc\nRequestRoot " + root + "/spool\n"
                                     "CacheDir " + root + "/cache\nStateDir " + root + "/run\n"
                                     "TempDir " + root + "/tmp\nErrorLog " + root + "/log/error_log\n"
                                     "AccessLog " + root + "/log/access_log\nPageLog " + root + "/log/page_log\n"
                                     "Printcap " + root + "/run/printcap\nServerBin /usr/lib/cups\nDataDir /usr/share/cups\n"
                                     "FileDevice Yes\n"
                                     "SystemGroup root\n");
        cupsd_.start("/usr/sbin/cupsd", {"-f", "-c", root + "/etc/cupsd.conf", "-s", root + "/etc/cups-files.conf"});
        QElapsedTimer t;
        t.start();
        while (!QFile::exists(Socket()) && t.elapsed() < 10000) QThread::msleep(20);
    }
    ~PrivateCups() {
        if (qEnvironmentVariableIsSet("GREENSLIP_KEEP_CUPS")) return;
        cupsd_.terminate();
        cupsd_.waitForFinished(5000);
    }
    QString Socket() const { return root_ + "/run/cups.sock"; }
    QString Output() const { return root_ + "/out/job.ps"; }
    static QString Ppd() { return "/usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd"; }
    bool AddQueue(const QString& name) {
        QProcess lpadmin;
        lpadmin.setProcessEnvironment(Environment());
        lpadmin.start("lpadmin", {"-p", name, "-E", "-v", "file://" + Output(), "-P", Ppd()});
        return lpadmin.waitForFinished(10000) && lpadmin.exitCode() == 0;
    }
    QString ErrorLog() const {
        QFile f(root_ + "/log/error_log");
        return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
    }
    QProcessEnvironment Environment() const {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("CUPS_SERVER", Socket());
        return env;
    }
    // Waits until the queue has written a whole job; returns it.
    QByteArray WaitForOutput() const {
        QElapsedTimer t;
        t.start();
        while (t.elapsed() < 20000) {
            QFile f(Output());
            if (f.open(QIODevice::ReadOnly)) {
                const QByteArray job = f.readAll();
                if (job.contains("%%EOF")) return job;
            }
            QThread::msleep(50);
        }
        return {};
    }

private:
    void Write(const char* name, const QString& text) {
        QFile f(root_ + "/" + name);
        f.open(QIODevice::WriteOnly);
        f.write(text.toUtf8());
    }
    QString root_;
    QProcess cupsd_;
};

TEST_F(BatchTest, APrinterQueueGetsEveryPieceAsALetterJob) {
    if (!QFile::exists("/usr/sbin/cupsd") || QStandardPaths::findExecutable("lpadmin").isEmpty() ||
        !QFile::exists(PrivateCups::Ppd()))
        GTEST_SKIP() << "CUPS or its PDF printer driver is not installed";
    PrivateCups cups(QString::fromStdString(dirs.Path()) + "cups");
    if (!cups.AddQueue("Office")) GTEST_SKIP() << "the private scheduler did not start";
    qputenv("CUPS_SERVER", cups.Socket().toUtf8());
    const BatchRun r = Batch({"print", WriteList("Ann Lee,1 Elm St,,,Boise,ID,83702\n"), "--printer", "Office"});
    qunsetenv("CUPS_SERVER");
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    const std::string number = ComposeArticleNumber("123456789", "00000042");
    EXPECT_TRUE(r.out.startsWith(QString::fromStdString(FormatArticleNumber(number)))) << r.out.toStdString();
    const QByteArray job = cups.WaitForOutput();
    EXPECT_TRUE(job.contains("%%Title: (Certified Mailer)")) << cups.ErrorLog().toStdString();
    EXPECT_TRUE(job.contains("%%HiResBoundingBox: 0 0 612.00 792.00"));  // Letter, whatever the queue's default
}

TEST_F(BatchTest, TwoRunsAndAWindowPrintingAtOnceIntoASetLogFolderUseDistinctNumbers) {
    QByteArray many;
    for (int i = 0; i < 12; ++i) many += "Ann Lee " + QByteArray::number(i) + ",1 Elm St,,,Boise,ID,83702\n";
    const QString list = WriteList(many);
    // The log on a share that every copy is pointed at.
    const std::string shared = dirs.Path() + "server/greenslip";
    ASSERT_TRUE(QDir().mkpath(QString::fromStdString(shared)));
    IniFile ini(dirs.SettingsFile());
    ini.Load();
    ini.WriteString("System Path", "Reports", shared);
    ASSERT_TRUE(ini.Save());
    ScopedScriptedUi scripted;
    RecordingPrintTarget printer;
    SetPrintTargetForTesting(&printer);
    TF_Main window;
    window.show();
    QApplication::processEvents();
    window.ShowMailerScreen = false;
    window.memoAddress->setPlainText("John Smith\n12 Oak Ave");

    QProcess* a = Start({"print", list, "--pdf", QString::fromStdString(dirs.Path()) + "a"});
    QProcess* b = Start({"print", list, "--pdf", QString::fromStdString(dirs.Path()) + "b"});
    for (int i = 0; i < 8; ++i) {
        window.MIPrint->trigger();
        QApplication::processEvents();
    }
    const BatchRun ra = Finish(a), rb = Finish(b);
    SetPrintTargetForTesting(nullptr);
    EXPECT_EQ(ra.exitCode, 0) << ra.err.toStdString();
    EXPECT_EQ(rb.exitCode, 0) << rb.err.toStdString();
    EXPECT_EQ(printer.pages.size(), 8u);

    const std::vector<std::string> logged = LogNumbers(shared + "/report3.dbf");
    EXPECT_EQ(logged.size(), 32u);
    EXPECT_FALSE(QFile::exists(QString::fromStdString(dirs.Path() + "program/Reports/report3.dbf")));
    const std::set<std::string> distinct(logged.begin(), logged.end());
    EXPECT_EQ(distinct.size(), 32u);
    window.MIExit->trigger();
    EXPECT_EQ(SavedSerial(), "00000073");
}

// Two computers, each with its own settings file and the same customer ID
// and serial, keep one log in a shared folder: the numbers beside the log
// keep every piece's number its own.
TEST_F(BatchTest, TwoSettingsFilesOnOneLogFolderPrintDistinctNumbers) {
    QByteArray many;
    for (int i = 0; i < 15; ++i) many += "Ann Lee " + QByteArray::number(i) + ",1 Elm St,,,Boise,ID,83702\n";
    const QString list = WriteList(many);
    const std::string shared = dirs.Path() + "server/greenslip";
    ASSERT_TRUE(QDir().mkpath(QString::fromStdString(shared)));
    const std::string secondConfig = dirs.Path() + "second-computer/";
    ASSERT_TRUE(QDir().mkpath(QString::fromStdString(secondConfig)));
    for (const std::string& file : {dirs.SettingsFile(), secondConfig + "gslip3.ini"}) {
        IniFile ini(dirs.SettingsFile());
        ini.Load();
        ini.WriteString("System Path", "Reports", shared);
        IniFile out(file);
        out.LoadFromText(ini.Text());
        ASSERT_TRUE(out.Save());
    }

    QProcess* a = Start({"print", list, "--pdf", QString::fromStdString(dirs.Path()) + "a"});
    QProcess* b = Start({"print", list, "--pdf", QString::fromStdString(dirs.Path()) + "b"},
                        [&](QProcessEnvironment& env) { env.insert("XDG_CONFIG_HOME", QString::fromStdString(secondConfig)); });
    const BatchRun ra = Finish(a), rb = Finish(b);
    EXPECT_EQ(ra.exitCode, 0) << ra.err.toStdString();
    EXPECT_EQ(rb.exitCode, 0) << rb.err.toStdString();

    const std::vector<std::string> logged = LogNumbers(shared + "/report3.dbf");
    EXPECT_EQ(logged.size(), 30u);
    EXPECT_EQ(std::set<std::string>(logged.begin(), logged.end()).size(), 30u);
    // The printed forms carry the same distinct numbers.
    std::set<QString> pdfs;
    for (const char* dir : {"a", "b"})
        for (const QString& name : QDir(QString::fromStdString(dirs.Path()) + dir).entryList({"*.pdf"}, QDir::Files))
            pdfs.insert(name);
    EXPECT_EQ(pdfs.size(), 30u);
    // The counter beside the log went on from 41; each settings file shows
    // the last number its own copy took.
    IniFile counter(shared + "/gslip3-numbers.ini");
    counter.Load();
    EXPECT_EQ(counter.ReadString("Values", "SerialNum", ""), "00000071");
    IniFile second(secondConfig + "gslip3.ini");
    second.Load();
    EXPECT_GT(std::stoi(SavedSerial()), 41);
    EXPECT_GT(std::stoi(second.ReadString("Values", "SerialNum", "0")), 41);
}

// Installed: the executable in usr/bin/, its data in usr/share/greenslip/.
// Each user's settings, numbers and log are their own, and nothing is written
// where the program lies, until they point their log at one shared folder.
TEST_F(BatchTest, InstalledCopyKeepsEachUsersLogApartUntilTheyShareALogFolder) {
    const QString usr = QString::fromStdString(dirs.Path()) + "usr/";
    ASSERT_TRUE(QDir().mkpath(usr + "bin") && QDir().mkpath(usr + "share/greenslip"));
    ASSERT_TRUE(QFile::copy(GREENSLIP_BATCH_EXE, usr + "bin/greenslip-batch"));
    ASSERT_TRUE(QFile::copy(GREENSLIP_SOURCE_DIR "/data/Gslip3.hlp", usr + "share/greenslip/Gslip3.hlp"));
    auto listing = [&] {
        QStringList all;
        QDirIterator it(usr, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden, QDirIterator::Subdirectories);
        while (it.hasNext()) all << it.next();
        return all;
    };
    const QStringList installed = listing();

    const std::string homes[] = {dirs.Path() + "ann", dirs.Path() + "bob"};
    auto settingsOf = [](const std::string& home) { return IniFile(home + "/.config/gslip3.ini"); };
    for (const std::string& home : homes) {
        ASSERT_TRUE(QDir().mkpath(QString::fromStdString(home + "/.config")));
        IniFile ini = settingsOf(home);
        ini.LoadFromText("[Type]\nCompany=Quorvale\nBarCodeApp=0\n[YourAddress]\nLine1=ACME Corp\nCity=Springfield\n"
                         "State=IL\nZip=62701\n[Values]\nCustID=12-345-6789\n");
        ASSERT_TRUE(ini.Save());
    }
    const QString lists[] = {WriteList("Ann Lee,1 Elm St,,,Boise,ID,83702\n", "ann.csv"),
                             WriteList("Bo Li,2 Elm St,,,Boise,ID,83702\nCy Dale,3 Elm St,,,Boise,ID,83702\n", "bob.csv")};
    auto start = [&](int user) {
        return Start({"print", lists[user], "--pdf", QString::fromStdString(homes[user] + "/pdf")},
                     [&](QProcessEnvironment& env) {
                         env.insert("HOME", QString::fromStdString(homes[user]));
                         env.remove("XDG_CONFIG_HOME");
                         env.remove("XDG_DATA_HOME");
                     },
                     usr + "bin/greenslip-batch");
    };
    auto ownLog = [&](int user) { return LogNumbers(homes[user] + "/.local/share/greenslip/Reports/report3.dbf"); };

    for (int user : {0, 1}) {
        const BatchRun r = Finish(start(user));
        EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    }
    EXPECT_EQ(ownLog(0).size(), 1u);
    EXPECT_EQ(ownLog(1).size(), 2u);
    EXPECT_EQ(listing(), installed);

    const std::string shared = dirs.Path() + "server/greenslip";
    ASSERT_TRUE(QDir().mkpath(QString::fromStdString(shared)));
    for (const std::string& home : homes) {
        IniFile ini = settingsOf(home);
        ini.Load();
        ini.WriteString("System Path", "Reports", shared);
        ASSERT_TRUE(ini.Save());
    }
    QProcess* both[] = {start(0), start(1)};
    for (QProcess* p : both) {
        const BatchRun r = Finish(p);
        EXPECT_EQ(r.exitCode, 0) << r.err.toStdString() << r.out.toStdString();
    }
    EXPECT_EQ(LogNumbers(shared + "/report3.dbf").size(), 3u);
    EXPECT_EQ(ownLog(0).size(), 1u);
    EXPECT_EQ(ownLog(1).size(), 2u);
    EXPECT_EQ(listing(), installed);
}

}  // namespace
}  // namespace gs
