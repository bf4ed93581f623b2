// Address-database mode and address paste in the real main window, with
// real address tables in a sandbox folder.
#include "app/tf_main.h"

#include "addresses/addressmode.h"
#include "app/mainwindowstart.h"
#include "dbase/tzdbf.h"
#include "dialogs/buttonchoicedialog.h"
#include "numbering/tf_mailer.h"
#include "platform/addressmemo.h"
#include "platform/inifile.h"
#include "platform/maskedit.h"
#include "platform/scripteduserinteraction.h"
#include "printing/printtarget.h"
#include "support/tempdir.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <gtest/gtest.h>

namespace gs {
namespace {

class AddressModeWindowTest : public ::testing::Test {
protected:
    void SetUp() override { SetPrintTargetForTesting(&printer); }
    void TearDown() override {
        main.reset();
        SetPrintTargetForTesting(nullptr);
    }

    std::string AddressDir() const { return dirs.Path() + "lists"; }

    std::unique_ptr<TF_Main> StartWindow() { return test::ShowMainWindow(); }
    void Start() {
        test::WriteMainWindowSettings(dirs, "CustID=12-345-6789\n[System Path]\nDefault=" + AddressDir() + "\n");
        QDir().mkpath(QString::fromStdString(AddressDir()));
        main = StartWindow();
    }
    AddressMode& Mode(TF_Main* w = nullptr) { return *(w ? w : main.get())->addressMode; }

    // A table of n records written the way the text import writes them.
    std::string MakeTable(const std::string& name, int n) {
        const std::string path = AddressDir() + "/" + name;
        TTzDbf t;
        t.DbfFields = {"Address,M,10,0", "City,C,20,0", "State,C,4,0", "Zip,C,10,0"};
        t.SetDbfFileName(path);
        t.Open();
        for (int i = 1; i <= n; ++i) {
            t.ClearRecord();
            t.SetMField("Address", {"Name " + std::to_string(i), "Street " + std::to_string(i)});
            t.SetFieldText("City", "City " + std::to_string(i));
            EXPECT_TRUE(t.ALock());
            t.AppendRec();
            t.UnLock();
        }
        t.Close();
        return path;
    }
    // File > "&Read/Write to a database" with the dialog answered.
    void Enter(const std::string& path, TF_Main* w = nullptr) {
        scripted.ui.fileAnswers.push_back(QString::fromStdString(path));
        (w ? w : main.get())->MIReadWriteToDB->trigger();
        QApplication::processEvents();
    }
    void Press(NavigateBtn b, TF_Main* w = nullptr) {
        QTest::mouseClick(Mode(w).tznavigator1->Button(b), Qt::LeftButton);
    }
    QString Order() { return Mode().labelOrder->text(); }

    struct Record {
        bool deleted;
        std::vector<std::string> lines;
        std::string city;
    };
    static std::vector<Record> ReadTable(const std::string& path) {
        std::vector<Record> out;
        TTzDbf t;
        t.CreateIfNotFound = false;
        t.SetDbfFileName(path);
        t.Open();
        for (t.First(); !t.Eof(); t.Next()) {
            Record r{t.IsDeleted(), {}, t.FieldByName("city").AsString()};
            t.GetMField("address", r.lines);
            out.push_back(r);
        }
        return out;
    }
    static std::vector<std::string> Cities(const std::vector<Record>& records) {
        std::vector<std::string> c;
        for (const Record& r : records) c.push_back(r.city);
        return c;
    }

    test::SandboxDirs dirs;
    ScopedScriptedUi scripted;
    RecordingPrintTarget printer;
    std::unique_ptr<TF_Main> main;
};

TEST_F(AddressModeWindowTest, EnteringANewFileSwitchesTheBoxAndExitPutsItBack) {
    Start();
    main->memoAddress->setPlainText("Jane Doe\n4 Elm St");
    main->editCity->setText("Albany");
    main->editPostage->setText("2.4");

    scripted.ui.fileAnswers.push_back("");  // cancelled: nothing happens
    main->MIReadWriteToDB->trigger();
    EXPECT_FALSE(Mode().Active());
    EXPECT_FALSE(main->MIMassPrint->isEnabled());

    Enter(AddressDir() + "/clients.dbf");
    const auto& asked = scripted.ui.asked;
    ASSERT_EQ(asked.size(), 2u);
    EXPECT_EQ(asked[1].kind, "open");
    EXPECT_EQ(asked[1].title, "Read Name and Address from File");
    EXPECT_EQ(asked[1].text, QString::fromStdString(AddressDir()));
    ASSERT_TRUE(Mode().Active());
    EXPECT_EQ(main->settings.AddressDir, AddressDir());
    EXPECT_TRUE(main->MIMassPrint->isEnabled());
    EXPECT_EQ(Order(), "1/1");
    EXPECT_EQ(Mode().labelOrder->width(), Mode().tznavigator1->width());
    EXPECT_EQ(QApplication::focusWidget(), Mode().tzmemoAddress);

    struct Place {
        QWidget* control;
        bool inMode;
        QRect where;  // in the box, in the mode; empty: not checked
    } places[] = {
        {main->memoAddress, false, {}},
        {main->editCity, false, {}},
        {main->editState, false, {}},
        {main->editZip, false, {}},
        {main->btnClear, false, {}},
        {Mode().tzmemoAddress, true, QRect(8, 89, 275, 60)},
        {Mode().tzeditCity, true, QRect(8, 153, 161, 21)},
        {Mode().tzeditState, true, QRect(176, 153, 25, 21)},
        {Mode().tzeditZip, true, QRect(208, 153, 75, 21)},
        {Mode().tznavigator1, true, QRect(8, 44, 189, 18)},
        {Mode().labelOrder, true, QRect(8, 62, 189, 16)},
        {Mode().btnExit, true, QRect(206, 60, 59, 25)},
        {Mode().labelDatabaseName, true, {}},
    };
    for (const Place& p : places) {
        EXPECT_EQ(p.control->isVisible(), p.inMode) << p.control->objectName().toStdString();
        if (!p.where.isNull()) {
            EXPECT_EQ(p.control->geometry(), p.where) << p.control->objectName().toStdString();
        }
    }
    EXPECT_EQ(main->btnPaste->geometry(), QRect(206, 36, 59, 25));
    EXPECT_EQ(Mode().labelDatabaseName->pos(), QPoint(8, 20));
    EXPECT_EQ(Mode().btnExit->text(), "&Exit");

    QTest::mouseClick(Mode().btnExit, Qt::LeftButton);
    EXPECT_FALSE(Mode().Active());
    for (const Place& p : places) EXPECT_EQ(p.control->isVisible(), !p.inMode) << p.control->objectName().toStdString();
    EXPECT_EQ(main->btnPaste->geometry(), QRect(64, 28, 65, 25));
    EXPECT_FALSE(main->MIMassPrint->isEnabled());
    // The plain fields kept what they held; the postage rule ran on leaving.
    EXPECT_EQ(main->memoAddress->toPlainText(), "Jane Doe\n4 Elm St");
    EXPECT_EQ(main->editCity->text(), "Albany");
    EXPECT_EQ(main->editPostage->text(), QString(10, ' ') + "2.40");
}

TEST_F(AddressModeWindowTest, NavigatorHasItsButtonsInOrderAndEveryPressShowsThePosition) {
    Start();
    Enter(MakeTable("twelve.dbf", 12));
    EXPECT_EQ(Order(), "1/12");
    const NavigateBtn order[] = {NavigateBtn::First, NavigateBtn::Prior,  NavigateBtn::Next,
                                 NavigateBtn::Last,  NavigateBtn::Insert, NavigateBtn::Delete,
                                 NavigateBtn::Post,  NavigateBtn::Cancel, NavigateBtn::Refresh};
    const char* hints[] = {"First record", "Prior record", "Next record", "Last record", "Insert record",
                           "Delete record", "Post edit", "Cancel edit", "Refresh data"};
    int x = -1;
    for (int i = 0; i < 9; ++i) {
        QToolButton* b = Mode().tznavigator1->Button(order[i]);
        EXPECT_GT(b->x(), x);
        x = b->x();
        EXPECT_EQ(b->toolTip(), hints[i]);
    }
    EXPECT_EQ(Mode().tznavigator1->findChildren<QToolButton*>().size(), 9);  // no Edit button

    Press(NavigateBtn::Last);
    EXPECT_EQ(Order(), "12/12");
    Press(NavigateBtn::Prior);
    EXPECT_EQ(Order(), "11/12");
    EXPECT_EQ(Mode().tzeditCity->text(), "City 11");
    EXPECT_EQ(Mode().tzmemoAddress->Lines(), QStringList({"Name 11", "Street 11"}));
    Press(NavigateBtn::Insert);
    EXPECT_EQ(Mode().tzeditCity->text(), "");
    Press(NavigateBtn::Post);
    EXPECT_EQ(Order(), "13/13");
    Press(NavigateBtn::First);
    EXPECT_EQ(Order(), "1/13");
    EXPECT_FALSE(Mode().tznavigator1->Button(NavigateBtn::Prior)->isEnabled());
    EXPECT_FALSE(Mode().tznavigator1->Button(NavigateBtn::Post)->isEnabled());
    QTest::keyClicks(Mode().tzeditState, "NY");
    EXPECT_TRUE(Mode().tznavigator1->Button(NavigateBtn::Post)->isEnabled());
    // The label only follows the navigator: another copy's append shows at Refresh.
    MakeTable("twelve.dbf", 1);
    EXPECT_EQ(Order(), "1/13");
    Press(NavigateBtn::Refresh);
    EXPECT_EQ(Order(), "1/14");
    EXPECT_EQ(ReadTable(AddressDir() + "/twelve.dbf")[0].city, "City 1");
}

TEST_F(AddressModeWindowTest, PathLabelShowsAShortPathWholeAndCutsALongOne) {
    Start();
    QTemporaryDir shortDir(QDir::tempPath() + "/a-XXXXXX");
    const std::string shortPath = shortDir.path().toStdString() + "/t.dbf";
    Enter(shortPath);
    EXPECT_EQ(Mode().labelDatabaseName->text().toStdString(), shortPath);

    std::string deep = AddressDir();
    for (const char* folder : {"/Customers of the eastern region", "/Mailing lists for the year", "/Certified"})
        deep += folder;
    QDir().mkpath(QString::fromStdString(deep));
    Enter(deep + "/clients.dbf");  // switching tables needs no Exit
    const QString shown = Mode().labelDatabaseName->text();
    EXPECT_TRUE(shown.startsWith(".../")) << shown.toStdString();
    EXPECT_TRUE(shown.endsWith("/Certified/clients.dbf")) << shown.toStdString();
    const QFontMetrics metrics(Mode().labelDatabaseName->font());
    EXPECT_LE(metrics.horizontalAdvance(shown.mid(4)), 251);
    EXPECT_EQ(Mode().labelDatabaseName->font().pointSize(), 8);
    EXPECT_EQ(Mode().labelDatabaseName->palette().color(QPalette::WindowText), QColor(Qt::blue));
}

TEST_F(AddressModeWindowTest, DeleteAsksDeleteAgainUnmarksAndExitRemovesTheMarked) {
    Start();
    const std::string path = MakeTable("five.dbf", 5);
    Enter(path);
    Press(NavigateBtn::Next);
    scripted.ui.messageAnswers = {QMessageBox::Ok, QMessageBox::Cancel, QMessageBox::Ok, QMessageBox::Ok};
    Press(NavigateBtn::Delete);  // record 2: marked
    Press(NavigateBtn::Next);
    Press(NavigateBtn::Delete);  // record 3: the question is cancelled
    Press(NavigateBtn::Delete);  // record 3: marked
    Press(NavigateBtn::Delete);  // record 3: unmarked, without a question
    Press(NavigateBtn::Next);
    Press(NavigateBtn::Delete);  // record 4: marked
    EXPECT_EQ(Order(), "4/5");
    int questions = 0;
    for (const auto& a : scripted.ui.asked) {
        if (a.kind != "message") continue;
        ++questions;
        EXPECT_EQ(a.text, "Delete Record ?");
        EXPECT_EQ(a.icon, QMessageBox::Question);
    }
    EXPECT_EQ(questions, 4);
    EXPECT_EQ(Cities(ReadTable(path)).size(), 5u);  // marked, still in the file

    QTest::mouseClick(Mode().btnExit, Qt::LeftButton);
    const auto records = ReadTable(path);
    EXPECT_EQ(Cities(records), (std::vector<std::string>{"City 1", "City 3", "City 5"}));
    EXPECT_EQ(records[1].lines, (std::vector<std::string>{"Name 3", "Street 3"}));  // memos packed with them
}

TEST_F(AddressModeWindowTest, PieceIsPrintedAndLoggedFromTheRecordWithItsUnpostedEdit) {
    Start();
    const std::string path = MakeTable("two.dbf", 2);
    Enter(path);
    Mode().tzeditCity->selectAll();
    QTest::keyClicks(Mode().tzeditCity, "Boston");
    Mode().tzeditZip->setFocus();
    Mode().tzeditZip->home(false);
    QTest::keyClicks(Mode().tzeditZip, "02108");
    main->memoAddress->setPlainText("Plain Name");  // hidden: not used in the mode
    scripted.ui.dialogAnswers.push_back([](QDialog& d) { static_cast<TF_Mailer&>(d).btnOK->click(); });
    QTest::mouseClick(main->btnPrint, Qt::LeftButton);

    ASSERT_EQ(printer.pages.size(), 1u);
    bool printedCity = false;
    for (const auto& item : printer.pages[0].items) printedCity |= item.text.contains("Boston");
    EXPECT_TRUE(printedCity);
    TTzDbf log;
    log.CreateIfNotFound = false;
    log.SetDbfFileName(main->MailLogFileName);
    log.Open();
    ASSERT_EQ(log.RecCount(), 1u);
    EXPECT_EQ(log.FieldByName("sentname0").AsString(), "Name 1");
    EXPECT_EQ(log.FieldByName("sentname1").AsString(), "Street 1");
    EXPECT_EQ(log.FieldByName("city").AsString(), "Boston");
    EXPECT_EQ(log.FieldByName("zip").AsString(), "02108");
    log.Close();

    // The printed state greys the bound controls too; typing makes them white.
    const QColor grey(192, 192, 192);
    for (QWidget* w : std::initializer_list<QWidget*>{Mode().tzmemoAddress, Mode().tzeditCity, Mode().tzeditState,
                                                      Mode().tzeditZip})
        EXPECT_EQ(w->palette().color(QPalette::Base), grey) << w->objectName().toStdString();
    EXPECT_FALSE(main->btnPrint->isEnabled());
    QTest::keyClicks(Mode().tzeditState, "MA");
    EXPECT_EQ(Mode().tzeditCity->palette().color(QPalette::Base), QColor(Qt::white));
    EXPECT_TRUE(main->btnPrint->isEnabled());

    Press(NavigateBtn::Next);  // the edit is posted by the move
    EXPECT_EQ(ReadTable(path)[0].city, "Boston");
}

TEST_F(AddressModeWindowTest, PasteFillsThePlainFieldsOrTheRecordAndKeepsFourLines) {
    Start();
    QClipboard* clipboard = QGuiApplication::clipboard();
    // As a Windows program puts it there, and as X11 programs do (lone LFs).
    for (const char* text : {"John Smith\r\n12 Oak Ave\r\nSpringfield, IL 62701-1234",
                             "John Smith\n12 Oak Ave\nSpringfield, IL 62701-1234\n"}) {
        main->btnClearClick();
        clipboard->setText(text);
        QTest::mouseClick(main->btnPaste, Qt::LeftButton);
        EXPECT_EQ(main->memoAddress->Lines(), QStringList({"John Smith", "12 Oak Ave"})) << text;
        EXPECT_EQ(main->editCity->text(), "Springfield");
        EXPECT_EQ(main->editState->text(), "IL");
        EXPECT_EQ(MaskedText(*main->editZip), "62701-1234");
    }
    clipboard->setText("");  // an empty clipboard leaves the recipient cleared
    QTest::mouseClick(main->btnPaste, Qt::LeftButton);
    EXPECT_EQ(main->memoAddress->toPlainText(), " ");
    EXPECT_EQ(main->editCity->text(), "");

    const std::string path = MakeTable("one.dbf", 1);
    main->editCity->setText("Albany");
    Enter(path);
    clipboard->setText("Line 1\r\nLine 2\r\nLine 3\r\nLine 4\r\nLine 5\r\nLine 6\r\nDover, DE 19901");
    QTest::mouseClick(main->btnPaste, Qt::LeftButton);
    EXPECT_EQ(Mode().tzmemoAddress->Lines(), QStringList({"Line 1", "Line 2", "Line 3", "Line 4"}));
    EXPECT_EQ(Mode().tzeditCity->text(), "Dover");
    EXPECT_EQ(Mode().tzeditState->text(), "DE");
    EXPECT_EQ(MaskedText(*Mode().tzeditZip), "19901-    ");
    EXPECT_EQ(main->editCity->text(), "");  // the hidden plain fields were cleared
    Press(NavigateBtn::Post);
    const auto records = ReadTable(path);
    EXPECT_EQ(records[0].lines, (std::vector<std::string>{"Line 1", "Line 2", "Line 3", "Line 4"}));
    EXPECT_EQ(records[0].city, "Dover");

    // Fewer name lines replace the record's lines instead of leaving old ones below.
    clipboard->setText("Ann Lee\r\nBoston, MA 02108");
    QTest::mouseClick(main->btnPaste, Qt::LeftButton);
    EXPECT_EQ(Mode().tzmemoAddress->Lines(), QStringList({"Ann Lee"}));
}

TEST_F(AddressModeWindowTest, ATableThatCannotBeOpenedIsReportedAndTheBoxGoesBack) {
    Start();
    int halted = 0;
    main->HaltProcess = [&](int code) { halted = code; };
    {
        TTzDbf t;
        t.DbfFields = {"address,M,10,0", "town,C,20,0", "state,C,2,0", "zip,C,10,0"};
        t.SetDbfFileName(AddressDir() + "/nocity.dbf");
        t.Open();
    }
    QFile damaged(QString::fromStdString(AddressDir() + "/damaged.dbf"));
    ASSERT_TRUE(damaged.open(QIODevice::WriteOnly));
    damaged.write("this is no table, only some text of more than thirty-two bytes");
    damaged.close();

    struct Case {
        const char* file;
        QString error;
    } cases[] = {
        {"nocity.dbf", "TzDbfAddress: Field 'CITY' not found"},
        {"damaged.dbf", "Error # 210 (Not a dBASE data file)\n"},
    };
    for (const Case& c : cases) {
        Enter(MakeTable("good.dbf", 0));
        ASSERT_TRUE(Mode().Active());
        Enter(AddressDir() + "/" + c.file);
        ASSERT_FALSE(scripted.ui.asked.empty());
        EXPECT_TRUE(scripted.ui.asked.back().text.startsWith(c.error)) << scripted.ui.asked.back().text.toStdString();
        EXPECT_EQ(scripted.ui.asked.back().icon, QMessageBox::Critical);
        EXPECT_FALSE(Mode().Active()) << c.file;
        EXPECT_TRUE(main->memoAddress->isVisible());
        EXPECT_FALSE(Mode().tznavigator1->isVisible());
        EXPECT_FALSE(main->MIMassPrint->isEnabled());
    }
    EXPECT_EQ(halted, 0);
}

TEST_F(AddressModeWindowTest, ClosingTheWindowPostsTheEditAndKeepsTheMarks) {
    Start();
    const std::string path = MakeTable("three.dbf", 3);
    Enter(path);
    scripted.ui.messageAnswers = {QMessageBox::Ok};
    Press(NavigateBtn::Delete);
    Press(NavigateBtn::Next);
    Mode().tzeditCity->selectAll();
    QTest::keyClicks(Mode().tzeditCity, "Typed");
    main->close();
    const auto records = ReadTable(path);
    ASSERT_EQ(records.size(), 3u);  // no pack when the window closes
    EXPECT_TRUE(records[0].deleted);
    EXPECT_EQ(records[1].city, "Typed");
}

TEST_F(AddressModeWindowTest, TwoRunningCopiesEditingOneRecordLoseNothing) {
    Start();
    const std::string path = MakeTable("shared.dbf", 2);
    std::unique_ptr<TF_Main> other = StartWindow();
    Enter(path);
    Enter(path, other.get());

    Mode().tzeditCity->selectAll();
    QTest::keyClicks(Mode().tzeditCity, "Boston");
    Mode(other.get()).tzeditCity->selectAll();
    QTest::keyClicks(Mode(other.get()).tzeditCity, "Chicago");
    Press(NavigateBtn::Next, other.get());
    EXPECT_EQ(scripted.ui.asked.back().text, "Lock failed [Post]");
    EXPECT_EQ(Mode(other.get()).labelOrder->text(), "1/2");  // still on the record, the edit kept
    EXPECT_EQ(Mode(other.get()).tzeditCity->text(), "Chicago");
    EXPECT_EQ(ReadTable(path)[0].city, "City 1");

    Press(NavigateBtn::Post);
    EXPECT_EQ(ReadTable(path)[0].city, "Boston");
    Press(NavigateBtn::Post, other.get());
    EXPECT_EQ(ReadTable(path)[0].city, "Chicago");
    other.reset();
}

TEST_F(AddressModeWindowTest, BoundControlsTakeNoMoreThanTheTableHolds) {
    Start();
    Enter(MakeTable("imported.dbf", 1));
    EXPECT_EQ(Mode().tzeditCity->maxLength(), 20);
    EXPECT_EQ(Mode().tzeditState->maxLength(), 4);
    Enter(AddressDir() + "/created.dbf");
    EXPECT_EQ(Mode().tzeditCity->maxLength(), 35);
    EXPECT_EQ(Mode().tzeditState->maxLength(), 2);
}

TEST_F(AddressModeWindowTest, TableClosedForOtherWorkIsReopenedWithItsPositionAndTheFocus) {
    Start();
    const std::string path = MakeTable("list.dbf", 3);
    Enter(path);
    QTest::keyClicks(Mode().tzeditState, "VT");
    main->editComment->setFocus();
    EXPECT_TRUE(Mode().CloseIfActive());
    EXPECT_FALSE(Mode().Table().Active());
    EXPECT_TRUE(Mode().btnExit->isVisible());  // the box stays in the mode
    EXPECT_EQ(ReadTable(path)[0].city, "City 1");
    MakeTable("list.dbf", 2);  // what the other work wrote
    Mode().ReopenAndFocus();
    EXPECT_EQ(Order(), "1/5");
    EXPECT_EQ(QApplication::focusWidget(), Mode().tzmemoAddress);
    EXPECT_TRUE(Mode().CloseIfActive());
    EXPECT_FALSE(Mode().CloseIfActive());  // nothing open any more
}

TEST_F(AddressModeWindowTest, ImportIntoTheOpenTableClosesAndReopensIt) {
    Start();
    const std::string path = MakeTable("list.dbf", 1);
    Enter(path);
    QTest::keyClicks(Mode().tzeditState, "VT");  // an edit in progress
    QFile text(QString::fromStdString(AddressDir() + "/more.txt"));
    ASSERT_TRUE(text.open(QIODevice::WriteOnly));
    text.write("Ann Lee,1 Elm St,,,Dover,DE,19901\r\nBob Roe,,,,Ames,IA,50010\r\n");
    text.close();
    scripted.ui.fileAnswers = {text.fileName(), QString::fromStdString(path)};
    scripted.ui.dialogAnswers.push_back([](QDialog& d) { static_cast<ButtonChoiceDialog&>(d).Button(2)->click(); });
    main->editComment->setFocus();
    main->MIImport->trigger();

    EXPECT_EQ(scripted.ui.asked.back().text, "Import Done.\n\n2 records were added.");
    EXPECT_TRUE(Mode().Table().Active());
    EXPECT_EQ(Order(), "1/3");
    EXPECT_EQ(main->focusWidget(), Mode().tzmemoAddress);  // the window's focus once it is active again
    EXPECT_EQ(Mode().tzeditState->text(), "VT");  // posted before the import, shown after it
    EXPECT_EQ(Cities(ReadTable(path)), (std::vector<std::string>{"City 1", "Dover", "Ames"}));
}

}  // namespace
}  // namespace gs
