#include "addresses/textfilecommands.h"

#include <QApplication>
#include <QLabel>
#include <QProgressDialog>
#include <QPushButton>
#include <QTimer>
#include <gtest/gtest.h>

#include "addresses/textimport.h"
#include "dbase/dbftestutil.h"
#include "dialogs/buttonchoicedialog.h"
#include "platform/application.h"
#include "platform/scripteduserinteraction.h"

namespace gs {
namespace {

// The address-database mode of a main window, as the import sees it. Each
// call is written down together with how many questions had been asked by
// then, so the order against the messages shows.
class FakeHost : public AddressTableHost {
public:
    explicit FakeHost(const ScriptedUserInteraction& ui, bool active) : ui_(ui), active_(active) {}
    bool AddressModeActive() const override { return active_; }
    void CloseAddressTable() override { calls.push_back("close@" + std::to_string(ui_.asked.size())); }
    void ReopenAddressTable() override { calls.push_back("reopen@" + std::to_string(ui_.asked.size())); }
    std::vector<std::string> calls;

private:
    const ScriptedUserInteraction& ui_;
    bool active_;
};

const std::string kTwoLines = "\"Ann Lee\",\"1 Elm St\",\"\",\"\",\"Dover\",\"DE\",\"19901\"\r\n"
                              "Bob Roe,,,,Ames,IA,50010\r\n";

class TextFileCommandsTest : public test::DbfTest {
protected:
    void SetUp() override {
        DbfTest::SetUp();
        dir = dir_.substr(0, dir_.size() - 1);  // the address folder, without its "/"
    }
    std::uint32_t Count(const std::string& file) {
        TTzDbf t;
        t.CreateIfNotFound = false;
        t.SetDbfFileName(Path(file));
        t.Open();
        return t.RecCount();
    }
    void ClickChoice(int i) {
        ui().dialogAnswers.push_back([i](QDialog& d) { static_cast<ButtonChoiceDialog&>(d).Button(i)->click(); });
    }
    ScriptedUserInteraction& ui() { return scripted.ui; }
    const ScriptedUserInteraction::Asked& Last() { return ui().asked.back(); }

    ScopedScriptedUi scripted;
    std::string dir;
};

TEST_F(TextFileCommandsTest, ImportIntoANewTableProposesItsNameAndSaysDone) {
    WriteFile(Path("clients.csv"), kTwoLines);
    ui().fileAnswers = {QString::fromStdString(Path("clients.csv")), QString::fromStdString(Path("clients.dbf"))};
    ImportAddressText(nullptr, dir, nullptr);

    EXPECT_EQ(ui().Trail(), (QStringList{"open", "save", "message"}));
    EXPECT_EQ(ui().asked[0].text.toStdString(), dir);
    EXPECT_EQ(ui().asked[1].text.toStdString(), dir + "/clients.dbf");
    EXPECT_EQ(ui().asked[1].prompt, OverwritePrompt::DontAsk);  // the import asks its own question
    EXPECT_EQ(Last().text, "Import Done.\n\n2 records were added.");
    EXPECT_EQ(Last().title, ApplicationTitle());
    EXPECT_EQ(Last().icon, QMessageBox::Information);
    EXPECT_EQ(Count("clients.dbf"), 2u);
    EXPECT_EQ(ui().waitDepth, 0);
}

// The question for an existing table, answered with each of its buttons.
TEST_F(TextFileCommandsTest, ExistingTableIsOverwrittenAppendedToOrLeftAlone) {
    struct Case {
        int button;
        std::uint32_t records;
        QStringList trail;
    };
    const Case cases[] = {
        {1, 2, {"open", "save", "dialog:gs::ButtonChoiceDialog", "message"}},
        {2, 4, {"open", "save", "dialog:gs::ButtonChoiceDialog", "message"}},
        {3, 2, {"open", "save", "dialog:gs::ButtonChoiceDialog"}},
    };
    WriteFile(Path("list.txt"), kTwoLines);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.button);
        std::filesystem::remove(Path("list.dbf"));
        std::filesystem::remove(Path("list.dbt"));
        ui().fileAnswers = {QString::fromStdString(Path("list.txt")), QString::fromStdString(Path("list.dbf"))};
        ImportAddressText(nullptr, dir, nullptr);  // creates the table
        ui().asked.clear();

        const std::string before = ReadFile(Path("list.dbf"));
        ui().fileAnswers = {QString::fromStdString(Path("list.txt")), QString::fromStdString(Path("list.dbf"))};
        ClickChoice(c.button);
        ImportAddressText(nullptr, dir, nullptr);
        EXPECT_EQ(ui().Trail(), c.trail);
        EXPECT_EQ(ui().asked[2].text, ApplicationTitle());
        EXPECT_EQ(Count("list.dbf"), c.records);
        if (c.button == 3) {
            EXPECT_EQ(ReadFile(Path("list.dbf")), before);
        }
        ui().asked.clear();
    }
}

TEST_F(TextFileCommandsTest, QuestionHasTheProgramsTextAndButtons) {
    WriteFile(Path("list.txt"), kTwoLines);
    WriteFile(Path("list.dbf"), "");  // only its existence matters before the question
    QString text;
    QStringList captions;
    ui().fileAnswers = {QString::fromStdString(Path("list.txt")), QString::fromStdString(Path("list.dbf"))};
    ui().dialogAnswers.push_back([&](QDialog& d) {
        auto& choice = static_cast<ButtonChoiceDialog&>(d);
        text = choice.MessageLabel()->text();
        for (int i = 1; i <= 3; ++i) captions << choice.Button(i)->text();
        choice.Button(3)->click();
    });
    ImportAddressText(nullptr, dir, nullptr);
    EXPECT_EQ(text, "A database of the same name has been found in this location.  Would you like to overwrite "
                    "this database, or append to this database?");
    EXPECT_EQ(captions, (QStringList{"&Overwrite", "&Append", "&Cancel"}));
}

TEST_F(TextFileCommandsTest, AddressTableIsClosedAroundTheImportAndReopenedAfterTheMessage) {
    WriteFile(Path("a.txt"), kTwoLines);
    FakeHost host(ui(), true);
    ui().fileAnswers = {QString::fromStdString(Path("a.txt")), QString::fromStdString(Path("a.dbf"))};
    ImportAddressText(nullptr, dir, &host);
    EXPECT_EQ(host.calls, (std::vector<std::string>{"close@1", "reopen@3"}));  // after "Import Done."

    FakeHost inactive(ui(), false);
    ui().fileAnswers = {QString::fromStdString(Path("a.txt")), QString::fromStdString(Path("b.dbf"))};
    ImportAddressText(nullptr, dir, &inactive);
    EXPECT_TRUE(inactive.calls.empty());
}

TEST_F(TextFileCommandsTest, CancelledDialogsEndWithoutAMessage) {
    WriteFile(Path("a.txt"), kTwoLines);
    FakeHost host(ui(), true);
    ImportAddressText(nullptr, dir, &host);  // open dialog cancelled: the table is not touched
    EXPECT_EQ(ui().Trail(), QStringList{"open"});
    EXPECT_TRUE(host.calls.empty());

    ui().asked.clear();
    ui().fileAnswers = {QString::fromStdString(Path("a.txt"))};  // save dialog cancelled
    ImportAddressText(nullptr, dir, &host);
    EXPECT_EQ(ui().Trail(), (QStringList{"open", "save"}));
    EXPECT_EQ(host.calls, (std::vector<std::string>{"close@1", "reopen@2"}));
    EXPECT_FALSE(std::filesystem::exists(Path("a.dbf")));
}

TEST_F(TextFileCommandsTest, ImportErrorsAreShownAfterTheTableIsReopened) {
    FakeHost host(ui(), true);
    ui().fileAnswers = {QString::fromStdString(Path("missing.txt"))};
    ImportAddressText(nullptr, dir, &host);
    EXPECT_EQ(ui().Trail(), (QStringList{"open", "message"}));
    EXPECT_EQ(Last().text.toStdString(),
              "Error on import: Cannot open file \"" + Path("missing.txt") + "\". No such file or directory");
    EXPECT_EQ(Last().icon, QMessageBox::Critical);
    EXPECT_EQ(host.calls, (std::vector<std::string>{"close@1", "reopen@1"}));

    // A table without a ZIP field: the dataset layer's error at the first record.
    {
        TTzDbf t;
        OpenTable(t, "nozip.dbf", {"address,M,10,0", "city,C,35,0", "state,C,2,0"});
    }
    WriteFile(Path("a.txt"), kTwoLines);
    ui().asked.clear();
    ui().fileAnswers = {QString::fromStdString(Path("a.txt")), QString::fromStdString(Path("nozip.dbf"))};
    ClickChoice(2);
    ImportAddressText(nullptr, dir, nullptr);
    EXPECT_EQ(Last().text, "Error on import: Field 'Zip' not found");
}

TEST_F(TextFileCommandsTest, Utf8LinesThatLostCharactersAreCounted) {
    WriteFile(Path("u.csv"), "\xEF\xBB\xBF\xC5\x81\xC3\xB3\x64\xC5\xBA,,,,a,b,c\nok,,,,a,b,c\n\xE4\xB8\xAD,,,,a,b,c\n");
    ui().fileAnswers = {QString::fromStdString(Path("u.csv")), QString::fromStdString(Path("u.dbf"))};
    ImportAddressText(nullptr, dir, nullptr);
    ASSERT_EQ(ui().Trail(), (QStringList{"open", "save", "message", "message"}));
    EXPECT_EQ(ui().asked[2].text, "Import Done.\n\n3 records were added.");
    EXPECT_EQ(Last().text, "3 characters of the file (lines 1 and 3) could not be converted to characters that an "
                           "address table can store; they were imported with \"?\" in their place.");
    EXPECT_EQ(Last().icon, QMessageBox::Warning);
}

// A file saved as "Unicode" (UTF-16 with its byte-order mark, either byte
// order) imports as the text it holds; lines without an address are counted.
TEST_F(TextFileCommandsTest, Utf16FilesImportTheirTextAndDoneCountsBlankRecords) {
    const std::u16string text = u"\"Jos\u00e9 M\u00fcller\",\"1 Elm St\",,,Dover,DE,19901\r\n\r\nBob Roe,,,,Ames,IA,50010\r\n";
    for (const bool little : {true, false}) {
        SCOPED_TRACE(little ? "little-endian" : "big-endian");
        std::string bytes = little ? "\xFF\xFE" : "\xFE\xFF";
        for (char16_t u : text) {
            const char lo = static_cast<char>(u & 0xFF), hi = static_cast<char>(u >> 8);
            bytes += little ? lo : hi;
            bytes += little ? hi : lo;
        }
        const std::string name = little ? "le" : "be";
        WriteFile(Path(name + ".txt"), bytes);
        ui().asked.clear();
        ui().fileAnswers = {QString::fromStdString(Path(name + ".txt")), QString::fromStdString(Path(name + ".dbf"))};
        ImportAddressText(nullptr, dir, nullptr);
        ASSERT_EQ(ui().Trail(), (QStringList{"open", "save", "message"}));
        EXPECT_EQ(Last().text, "Import Done.\n\n3 records were added.\n1 line held no address and gave a blank record.");

        TTzDbf t;
        t.CreateIfNotFound = false;
        t.SetDbfFileName(Path(name + ".dbf"));
        t.Open();
        ASSERT_EQ(t.RecCount(), 3u);
        t.GoTop();
        std::vector<std::string> memo;
        t.GetMField("Address", memo);
        EXPECT_EQ(memo, (std::vector<std::string>{"Jos\xE9 M\xFCller", "1 Elm St"}));
        EXPECT_EQ(t.GetFieldText("City"), "Dover" + std::string(15, ' '));
        EXPECT_EQ(t.GetFieldText("Zip"), "19901     ");
        t.Next();
        t.GetMField("Address", memo);
        EXPECT_TRUE(memo.empty());
        t.Next();
        EXPECT_EQ(t.GetFieldText("City"), "Ames" + std::string(16, ' '));
    }
}

// Presses Cancel of the progress dialog as soon as it lets events through.
void CancelProgressWhenShown() {
    QTimer::singleShot(0, [] {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* p = qobject_cast<QProgressDialog*>(w); p && p->objectName() == "TransferProgress") p->cancel();
    });
}

TEST_F(TextFileCommandsTest, LargeImportShowsProgressAndCancelKeepsTheRecords) {
    std::string text;
    for (int i = 0; i < 6000; ++i) text += "Name " + std::to_string(i) + ",,,,City,ST,12345\n";
    WriteFile(Path("big.txt"), text);
    ui().fileAnswers = {QString::fromStdString(Path("big.txt")), QString::fromStdString(Path("big.dbf"))};
    CancelProgressWhenShown();
    ImportAddressText(nullptr, dir, nullptr);
    EXPECT_EQ(Last().text, "Import cancelled. 1000 records were imported and kept.");
    EXPECT_EQ(Count("big.dbf"), 1000u);
}

TEST_F(TextFileCommandsTest, SmallImportShowsNoProgress) {
    std::string text;
    for (int i = 0; i < 5000; ++i) text += "n,,,,c,s,z\n";
    WriteFile(Path("five.txt"), text);
    ui().fileAnswers = {QString::fromStdString(Path("five.txt")), QString::fromStdString(Path("five.dbf"))};
    CancelProgressWhenShown();
    ImportAddressText(nullptr, dir, nullptr);
    EXPECT_EQ(Last().text, "Import Done.\n\n5000 records were added.");
    EXPECT_EQ(Count("five.dbf"), 5000u);
}

// ------------------------------------------------------------------- export

void MakeAddressTable(TTzDbf& t, int records) {
    for (int i = 0; i < records; ++i) {
        t.ClearRecord();
        t.SetMField("address", {"Name " + std::to_string(i)});
        t.SetFieldText("city", "Dover");
        ASSERT_TRUE(t.ALock());
        t.AppendRec();
    }
    t.UnLock();
}

TEST_F(TextFileCommandsTest, ExportProposesTheTextNameAndSaysDone) {
    {
        TTzDbf t;
        OpenTable(t, "CLIENTS.DBF", ImportTableFieldList());
        MakeAddressTable(t, 2);
    }
    ui().fileAnswers = {QString::fromStdString(Path("CLIENTS.DBF")), QString::fromStdString(Path("out.txt"))};
    ExportAddressText(nullptr, dir);
    EXPECT_EQ(ui().Trail(), (QStringList{"open", "save", "message"}));
    EXPECT_EQ(ui().asked[0].text.toStdString(), dir);
    EXPECT_EQ(ui().asked[1].text.toStdString(), dir + "/CLIENTS.txt");
    EXPECT_EQ(Last().text, "Export Done.");
    EXPECT_EQ(Last().icon, QMessageBox::Information);
    EXPECT_EQ(ReadFile(Path("out.txt")), "\"Name 0\",\"\",\"\",\"\",\"Dover\",\"\",\"\"\r\n"
                                         "\"Name 1\",\"\",\"\",\"\",\"Dover\",\"\",\"\"\r\n");
}

TEST_F(TextFileCommandsTest, ExportCancelledOrFailing) {
    {
        TTzDbf t;
        OpenTable(t, "nocity.dbf", {"address,M,10,0", "state,C,2,0", "zip,C,10,0"});
        t.ClearRecord();
        ASSERT_TRUE(t.ALock());
        t.AppendRec();
    }
    ui().fileAnswers = {QString::fromStdString(Path("nocity.dbf"))};  // save dialog cancelled
    ExportAddressText(nullptr, dir);
    EXPECT_EQ(ui().Trail(), (QStringList{"open", "save"}));

    ui().asked.clear();
    ui().fileAnswers = {QString::fromStdString(Path("nocity.dbf")), QString::fromStdString(Path("n.txt"))};
    ExportAddressText(nullptr, dir);
    EXPECT_EQ(Last().text, "Error on export: Field 'City' not found");
    EXPECT_EQ(Last().icon, QMessageBox::Critical);

    ui().asked.clear();
    ui().fileAnswers = {QString::fromStdString(Path("nocity.dbf")), QString::fromStdString(Path("no/dir/n.txt"))};
    ExportAddressText(nullptr, dir);
    EXPECT_EQ(Last().text.toStdString(),
              "Error on export: Cannot create file \"" + Path("no/dir/n.txt") + "\". No such file or directory");
}

TEST_F(TextFileCommandsTest, LargeExportShowsProgressAndCancelKeepsTheLines) {
    {
        TTzDbf t;
        OpenTable(t, "big.dbf", ImportTableFieldList(), true);
        MakeAddressTable(t, 6000);
    }
    ui().fileAnswers = {QString::fromStdString(Path("big.dbf")), QString::fromStdString(Path("big.txt"))};
    CancelProgressWhenShown();
    ExportAddressText(nullptr, dir);
    EXPECT_EQ(Last().text, "Export cancelled. 1000 records were written and kept.");
    const std::string text = ReadFile(Path("big.txt"));
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 1000);
}

}  // namespace
}  // namespace gs
