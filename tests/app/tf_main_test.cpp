// The main window driven as a user drives it, on the offscreen platform.
#include "app/tf_main.h"

#include "app/about.h"

#include "platform/addressmemo.h"
#include "platform/application.h"
#include "platform/inifile.h"
#include "platform/maskedit.h"
#include "platform/paths.h"
#include "platform/scripteduserinteraction.h"
#include "printing/printtarget.h"
#include "support/tempdir.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace gs {
namespace {

QString Blanks(int n) { return QString(n, ' '); }

class MainWindowTest : public ::testing::Test {
protected:
    // A settled user: sender stored, customer ID entered, registration answered.
    void WriteSettledSettings(const std::string& extra = "", bool barCodeApp = false) {
        IniFile ini(dirs.SettingsFile());
        ini.LoadFromText(std::string("[Type]\nCompany=Quorvale\nBarCodeApp=") + (barCodeApp ? "1" : "0") + "\n"
                         "[YourAddress]\nLine1=ACME Corp\nLine2=1 Main St\nCity=Springfield\nState=IL\nZip=62701\n"
                         "[Values]\nCustID=12-345-6789\n" + extra);
        ASSERT_TRUE(ini.Save());
    }
    IniFile SavedSettings() const {
        IniFile ini(dirs.SettingsFile());
        EXPECT_TRUE(ini.Load());
        return ini;
    }
    void Leave(QWidget* w) {
        // Moving the focus elsewhere runs the exit handlers.
        w->setFocus();
        QApplication::processEvents();
        main->editComment->setFocus();
        QApplication::processEvents();
    }
    void Type(QWidget* w, const QString& text) {
        w->setFocus();
        QTest::keyClicks(w, text);
    }
    void Start() {
        main = std::make_unique<TF_Main>();
        main->show();
        QApplication::processEvents();  // FormShow
        QApplication::processEvents();
    }

    test::SandboxDirs dirs;
    ScopedScriptedUi scripted;
    std::unique_ptr<TF_Main> main;
};

TEST_F(MainWindowTest, StartFillsFeesFromDefaultsAndCreatesFolders) {
    WriteSettledSettings();
    Start();
    EXPECT_EQ(main->windowTitle(), ApplicationTitle());
    EXPECT_EQ(main->size(), QSize(588, 424));
    EXPECT_EQ(main->palette().color(QPalette::Window), QColor(192, 220, 192));
    EXPECT_EQ(main->editPostage->text(), Blanks(10) + "0.39");
    EXPECT_EQ(main->editCertFee->text(), Blanks(10) + "2.40");
    EXPECT_EQ(main->editReturn->text(), Blanks(10) + "1.85");
    EXPECT_EQ(main->editTotal->text(), Blanks(10) + "4.64");
    EXPECT_EQ(main->editRestricted->text(), "");
    EXPECT_FALSE(main->editRestricted->isEnabled());
    EXPECT_TRUE(main->PrintBarCodeMI->isChecked());
    EXPECT_TRUE(QFileInfo(QString::fromStdString(dirs.Path() + "program/Reports")).isDir());
    EXPECT_TRUE(QFileInfo(QString::fromStdString(dirs.Path() + "program/Addresses")).isDir());
    EXPECT_EQ(main->MailLogFileName, dirs.Path() + "program/Reports/report3.dbf");
    EXPECT_TRUE(main->ShowMailerScreen);
    EXPECT_EQ(main->lblYourAddress3->text(), "Springfield IL 62701");
    EXPECT_TRUE(scripted.ui.asked.empty());  // a settled user is asked nothing
}

TEST_F(MainWindowTest, MenuHasEveryCaption) {
    WriteSettledSettings();
    Start();
    QStringList captions;
    std::function<void(QMenu*, const QString&)> walk = [&](QMenu* menu, const QString& path) {
        for (QAction* a : menu->actions()) {
            if (a->isSeparator()) continue;
            captions << path + a->text();
            if (a->menu()) walk(a->menu(), path + a->text() + " > ");
        }
    };
    for (QAction* top : main->menuBar()->actions()) {
        captions << top->text();
        if (top->menu()) walk(top->menu(), top->text() + " > ");
    }
    for (const char* expected :
         {"File > &Read/Write to a database", "File > &Print", "File > &Mass Print", "File > Print &Bar Codes",
          "File > &Exit", "&Options > &Mailer Number", "&Options > &Your Name && Address",
          "&Options > Print &Options > &Printer Setup", "&Options > Print &Options > Printer &Alignment",
          "&Options > Print &Options > &Extra Label", "&Options > &BarCode's > &Print",
          "&Options > &BarCode's > &Don't Print", "&Options > &BarCode's > &ZIP Bar Code > &POSTNET",
          "&Options > &BarCode's > &ZIP Bar Code > &Intelligent Mail", "&Options > Pre&view Mailer",
          "&Options > &Default Postage > &Save Values",
          "&Options > &Name && Address Text Files > &Import", "&Options > &Name && Address Text Files > &Export",
          "&Options > Mail &Log Folder",
          "Track Item", "&Report > &Print > Full Detail", "&Report > &Print > Short Detail",
          "&Report > Pre&view > &Full Detail", "&Report > Pre&view > &Short Detail", "&Report > &Clear",
          "&Report > &Sort > &Record Order", "&Report > &Sort > &By Mailer Number", "&Report > &Sort > By &Name", "&Report > &Sort > By &Date",
          "&Report > &Sort > By &ZipCode", "&Help > &Content", "&Help > &Print Bar Code Printing Registration",
          "&Help > &Order Supplies", "&Help > &Technical Support", "&Help > &About"})
        EXPECT_TRUE(captions.contains(expected)) << expected;
    EXPECT_FALSE(main->MIMassPrint->isEnabled());  // until an address table is open
}

TEST_F(MainWindowTest, FirstStartAsksInOrder) {
    Start();  // no settings file at all
    EXPECT_EQ(scripted.ui.Trail(),
              QStringList({"dialog:gs::TF_YourAddress", "message", "dialog:gs::TF_Mailer", "dialog:gs::ButtonChoiceDialog"}));
    EXPECT_EQ(scripted.ui.asked[1].text,
              "If you have labels without any Bar Code's, you must select a \"Customer ID\" number.");
    EXPECT_EQ(scripted.ui.asked[1].icon, QMessageBox::Information);
    EXPECT_EQ(main->settings.Company, "Quorvale");
    EXPECT_TRUE(main->settings.BarCodeApp);  // no answer given: asked again next time
}

TEST_F(MainWindowTest, RegistrationAnswersDecideWhetherItIsAskedAgain) {
    struct Case { int button; bool askedAgain; } cases[] = {{1, false}, {2, true}, {3, false}};
    for (const auto& c : cases) {
        WriteSettledSettings("", true);
        scripted.ui.asked.clear();
        scripted.ui.dialogAnswers.push_back([&](QDialog& d) { d.done(c.button); });
        Start();
        ASSERT_EQ(scripted.ui.Trail(), QStringList({"dialog:gs::ButtonChoiceDialog"}));
        EXPECT_EQ(main->settings.BarCodeApp, c.askedAgain) << c.button;
        main->close();
        EXPECT_EQ(SavedSettings().ReadBool("Type", "BarCodeApp", !c.askedAgain), c.askedAgain);
        main.reset();
    }
}

TEST_F(MainWindowTest, FeeFieldsFormatOnExitAndTotal) {
    WriteSettledSettings();
    Start();
    main->editPostage->clear();
    Type(main->editPostage, "2.4");
    Leave(main->editPostage);
    EXPECT_EQ(main->editPostage->text(), Blanks(10) + "2.40");
    EXPECT_EQ(main->editTotal->text(), Blanks(10) + "6.65");

    main->editPostage->clear();
    Type(main->editPostage, "12.5");
    Leave(main->editPostage);
    EXPECT_EQ(main->editPostage->text(), Blanks(8) + "12.5");

    main->editCertFee->clear();
    Type(main->editCertFee, "abc");
    Leave(main->editCertFee);
    EXPECT_EQ(main->editCertFee->text(), " ");
    EXPECT_EQ(main->editTotal->text(), Blanks(8) + "14.35");

    // Restricted delivery adds the stored default, and unticking removes it.
    QTest::mouseClick(main->cbRestricted, Qt::LeftButton, {}, QPoint(5, 10));
    EXPECT_TRUE(main->editRestricted->isEnabled());
    EXPECT_EQ(main->editRestricted->text(), Blanks(10) + "3.50");
    EXPECT_EQ(main->editTotal->text(), Blanks(8) + "17.85");
    QTest::mouseClick(main->cbRestricted, Qt::LeftButton, {}, QPoint(5, 10));
    EXPECT_FALSE(main->editRestricted->isEnabled());
    EXPECT_EQ(main->editRestricted->text(), " ");
    EXPECT_EQ(main->editTotal->text(), Blanks(8) + "14.35");
}

TEST_F(MainWindowTest, RecipientBoxKeepsFourLinesAndClearLeavesOneBlank) {
    WriteSettledSettings();
    Start();
    main->memoAddress->setPlainText("1\n2\n3\n4\n5\n6");
    EXPECT_EQ(main->memoAddress->Lines(), QStringList({"1", "2", "3", "4"}));
    main->editCity->setText("Springfield");
    main->editZip->setText("62701");
    main->editComment->setText("kept");
    main->btnClear->click();
    EXPECT_EQ(main->memoAddress->toPlainText(), " ");
    EXPECT_EQ(main->editCity->text(), "");
    EXPECT_EQ(MaskedText(*main->editZip), "     -    ");
    EXPECT_EQ(main->editComment->text(), "kept");
}

TEST_F(MainWindowTest, PrintedEntryIsGreyUntilSomethingChanges) {
    WriteSettledSettings();
    Start();
    main->SetEntryPrinted();
    EXPECT_FALSE(main->btnPrint->isEnabled());
    for (QWidget* w : main->EntryControls())
        EXPECT_EQ(w->palette().color(QPalette::Base), QColor(192, 192, 192)) << w->objectName().toStdString();
    Type(main->editState, "X");
    EXPECT_TRUE(main->btnPrint->isEnabled());
    for (QWidget* w : main->EntryControls()) EXPECT_EQ(w->palette().color(QPalette::Base), QColor(Qt::white));

    main->SetEntryPrinted();
    Type(main->memoAddress, "Y");
    EXPECT_FALSE(main->EntryPrinted());

    // Leaving the recipient box or the restricted check box counts as a change.
    for (QWidget* passed : std::initializer_list<QWidget*>{main->memoAddress, main->cbRestricted}) {
        main->SetEntryPrinted();
        Leave(passed);
        EXPECT_FALSE(main->EntryPrinted()) << passed->objectName().toStdString();
    }
    // Leaving a fee field whose text does not change does not.
    main->SetEntryPrinted();
    Leave(main->editPostage);
    EXPECT_TRUE(main->EntryPrinted());
}

TEST_F(MainWindowTest, SaveValuesKeepsRestrictedWhenUnticked) {
    WriteSettledSettings("Restricted=4.00\n");
    Start();
    main->editPostage->setText("  0.44 ");
    main->SaveValues1->trigger();
    EXPECT_EQ(main->settings.Postage, "0.44");
    EXPECT_EQ(main->settings.CertFee, "2.40");
    EXPECT_EQ(main->settings.Restricted, "4.00");
    main->cbRestricted->click();
    main->editRestricted->setText("5.10");
    main->SaveValues1->trigger();
    EXPECT_EQ(main->settings.Restricted, "5.10");
    // Nothing reaches the file before the close.
    EXPECT_EQ(SavedSettings().ReadString("Values", "Postage", ""), "");
}

TEST_F(MainWindowTest, EscInAnyFieldClosesAndSaves) {
    WriteSettledSettings();
    Start();
    main->settings.SerialNum = "00000042";
    main->editCity->setFocus();
    QTest::keyClick(main->editCity, Qt::Key_Escape);
    EXPECT_FALSE(main->isVisible());
    const IniFile saved = SavedSettings();
    EXPECT_EQ(saved.ReadString("Values", "SerialNum", ""), "00000042");
    EXPECT_EQ(saved.ReadString("System Path", "default", ""), dirs.Path() + "program//Addresses");
}

TEST_F(MainWindowTest, FailedSaveStopsTheClose) {
    WriteSettledSettings();
    Start();
    // A folder where the settings file should be cannot be replaced by a file.
    QFile::remove(QString::fromStdString(dirs.SettingsFile()));
    QDir().mkpath(QString::fromStdString(dirs.SettingsFile()));
    main->MIExit->trigger();
    EXPECT_TRUE(main->isVisible());
    ASSERT_EQ(scripted.ui.asked.size(), 1u);
    EXPECT_EQ(scripted.ui.asked[0].icon, QMessageBox::Critical);
    QDir().rmdir(QString::fromStdString(dirs.SettingsFile()));
    main->MIExit->trigger();
    EXPECT_FALSE(main->isVisible());
}

TEST_F(MainWindowTest, HelpTrackItemAndAbout) {
    WriteSettledSettings();
    Start();
    main->Content1->trigger();
    main->TrackItem1->trigger();
    scripted.ui.dialogAnswers.push_back([](QDialog& d) {
        EXPECT_EQ(d.findChild<QLabel*>("labelVersion")->text(), "Version 3.0.0");
        EXPECT_EQ(d.findChild<QLabel*>("labelEMail")->text(), "support@quorvale.com");
        QTest::keyClick(&d, Qt::Key_Escape);
    });
    main->MIAbout->trigger();
    ASSERT_EQ(scripted.ui.Trail(), QStringList({"help", "url", "dialog:gs::TF_About"}));
    EXPECT_EQ(scripted.ui.asked[0].text, QString::fromStdString(dirs.Path() + "program/Gslip3.hlp"));
    EXPECT_TRUE(scripted.ui.asked[1].text.endsWith("/shipping/trackandconfirm.htm"));
}

// The About box's folder lines, without the zero-width spaces that let them wrap.
QStringList AboutFolderLines(QDialog& about) {
    auto* label = about.findChild<QLabel*>("labelFolders");
    EXPECT_TRUE(label && label->isVisible());
    return label ? label->text().remove(QChar(0x200B)).split('\n') : QStringList();
}

TEST_F(MainWindowTest, ProgramFolderKeepsEverythingBesideTheExecutable) {
    WriteSettledSettings();
    QFile::copy(GREENSLIP_SOURCE_DIR "/data/Gslip3.hlp", QString::fromStdString(dirs.Path() + "program/Gslip3.hlp"));
    Start();
    EXPECT_EQ(main->Folders.layout, FolderLayout::ProgramFolder);
    EXPECT_EQ(main->settings.AddressDir, dirs.Path() + "program//Addresses");
    QStringList lines;
    scripted.ui.dialogAnswers.push_back([&](QDialog& d) { lines = AboutFolderLines(d); });
    main->MIAbout->trigger();
    const QString program = QString::fromStdString(dirs.Path() + "program/");
    EXPECT_EQ(lines, QStringList({"Settings file: " + QString::fromStdString(dirs.SettingsFile()),
                                  "Program folder: " + program, "Mail log folder: " + program + "Reports/"}));
}

TEST_F(MainWindowTest, InstalledReadsItsDataFromShareAndWritesUnderTheUsersDataFolder) {
    WriteSettledSettings();
    const std::string usr = dirs.Path() + "usr/";
    QDir().mkpath(QString::fromStdString(usr + "bin"));
    QDir().mkpath(QString::fromStdString(usr + "share/greenslip"));
    ASSERT_TRUE(QFile::copy(GREENSLIP_SOURCE_DIR "/data/Gslip3.hlp", QString::fromStdString(usr + "share/greenslip/Gslip3.hlp")));
    SetExecutableDirForTesting(usr + "bin/");
    const QByteArray oldXdg = qgetenv("XDG_DATA_HOME");
    qputenv("XDG_DATA_HOME", QByteArray::fromStdString(dirs.Path() + "home/data"));
    Start();
    if (oldXdg.isEmpty()) qunsetenv("XDG_DATA_HOME");
    else qputenv("XDG_DATA_HOME", oldXdg);

    const std::string mine = dirs.Path() + "home/data/greenslip/";
    EXPECT_EQ(main->Folders.layout, FolderLayout::Installed);
    EXPECT_EQ(main->MailLogFileName, mine + "Reports/report3.dbf");
    EXPECT_TRUE(QFileInfo(QString::fromStdString(mine + "Reports")).isDir());
    EXPECT_TRUE(QFileInfo(QString::fromStdString(mine + "Addresses")).isDir());
    EXPECT_EQ(main->settings.AddressDir, mine + "/Addresses");
    EXPECT_EQ(QDir(QString::fromStdString(usr + "bin")).entryList(QDir::NoDotAndDotDot | QDir::AllEntries),
              QStringList());  // nothing is written beside the executable

    QStringList lines;
    scripted.ui.dialogAnswers.push_back([&](QDialog& d) { lines = AboutFolderLines(d); });
    main->MIAbout->trigger();
    main->Content1->trigger();
    EXPECT_EQ(lines, QStringList({"Settings file: " + QString::fromStdString(dirs.SettingsFile()),
                                  "Program data: " + QString::fromStdString(usr + "share/greenslip/"),
                                  "Your files: " + QString::fromStdString(mine),
                                  "Mail log folder: " + QString::fromStdString(mine + "Reports/")}));
    EXPECT_EQ(scripted.ui.asked.back().text, QString::fromStdString(usr + "share/greenslip/Gslip3.hlp"));
}

TEST_F(MainWindowTest, MailLogFolderFromTheOptionsMenuIsUsedAtOnceAndKept) {
    WriteSettledSettings();
    Start();
    const std::string shared = dirs.Path() + "server/greenslip";
    QDir().mkpath(QString::fromStdString(shared));
    scripted.ui.dialogAnswers.push_back([&](QDialog& d) {
        d.findChild<QLineEdit*>("editFolder")->setText(QString::fromStdString(shared));
        d.findChild<QPushButton*>("btnOK")->click();
    });
    main->MILogFolder->trigger();
    EXPECT_EQ(main->MailLogFileName, shared + "/report3.dbf");
    QStringList lines;
    scripted.ui.dialogAnswers.push_back([&](QDialog& d) { lines = AboutFolderLines(d); });
    main->MIAbout->trigger();
    EXPECT_EQ(lines.value(lines.size() - 1), "Mail log folder: " + QString::fromStdString(shared + "/"));
    main->close();
    EXPECT_EQ(SavedSettings().ReadString("System Path", "Reports", ""), shared);

    // The next start logs there too; a set folder that has gone missing (a
    // share not mounted) is not made again on the local disk.
    QDir(QString::fromStdString(shared)).removeRecursively();
    Start();
    EXPECT_EQ(main->MailLogFileName, shared + "/report3.dbf");
    EXPECT_FALSE(QFileInfo::exists(QString::fromStdString(shared)));

    // Nor is a piece printed that could not be logged there.
    RecordingPrintTarget printer;
    SetPrintTargetForTesting(&printer);
    main->ShowMailerScreen = false;
    main->memoAddress->setPlainText("John Smith\n12 Oak Ave");
    main->btnPrint->click();
    SetPrintTargetForTesting(nullptr);
    EXPECT_TRUE(printer.pages.empty());
    ASSERT_FALSE(scripted.ui.asked.empty());
    EXPECT_TRUE(scripted.ui.asked.back().text.startsWith(
        "The mail log folder \"" + QString::fromStdString(shared) + "\" cannot be reached"));
    EXPECT_EQ(main->settings.SerialNum, "00000000");
    EXPECT_FALSE(QFileInfo::exists(QString::fromStdString(shared)));
}

TEST_F(MainWindowTest, ImportAndExportFromTheMenuOpenInTheAddressFolder) {
    WriteSettledSettings();
    Start();
    const QString folder = QString::fromStdString(main->settings.AddressDir);
    QFile text(folder + "/in.csv");
    ASSERT_TRUE(text.open(QIODevice::WriteOnly));
    text.write("\"Ann Lee\",\"1 Elm St\",\"\",\"\",\"Dover\",\"DE\",\"19901\"\r\n");
    text.close();
    ASSERT_TRUE(main->MIImport->isEnabled());
    ASSERT_TRUE(main->MIExport->isEnabled());

    scripted.ui.fileAnswers = {folder + "/in.csv", folder + "/in.dbf", folder + "/in.dbf", folder + "/out.txt"};
    main->MIImport->trigger();
    main->MIExport->trigger();
    ASSERT_EQ(scripted.ui.Trail(), QStringList({"open", "save", "message", "open", "save", "message"}));
    EXPECT_EQ(scripted.ui.asked[0].text, folder);
    EXPECT_EQ(scripted.ui.asked[1].text, folder + "/in.dbf");
    EXPECT_EQ(scripted.ui.asked[2].text, "Import Done.\n\n1 record was added.");
    EXPECT_EQ(scripted.ui.asked[4].text, folder + "/in.txt");
    EXPECT_EQ(scripted.ui.asked[5].text, "Export Done.");
    QFile out(folder + "/out.txt");
    ASSERT_TRUE(out.open(QIODevice::ReadOnly));
    EXPECT_EQ(out.readAll(), "\"Ann Lee\",\"1 Elm St\",\"\",\"\",\"Dover\",\"DE\",\"19901\"\r\n");
}

TEST_F(MainWindowTest, SenderDialogRefreshesLabels) {
    WriteSettledSettings();
    Start();
    scripted.ui.dialogAnswers.push_back([](QDialog& d) {
        d.findChild<QLineEdit*>("editYourCity")->setText("Peoria");
        d.findChild<QPushButton*>("btnOK")->click();
    });
    main->btnChangeYourAddress->click();
    EXPECT_EQ(main->settings.City, "Peoria");
    EXPECT_EQ(main->lblYourAddress3->text(), "Peoria IL 62701");
}

TEST_F(MainWindowTest, BarcodeMenuSwitchesModes) {
    WriteSettledSettings("Increment=0\n");
    Start();
    main->DontPrintBarCodeMI->trigger();
    EXPECT_FALSE(main->settings.PrintBarCode);
    EXPECT_TRUE(main->settings.Increment);  // always counts up again
    EXPECT_TRUE(main->DontPrintBarCodeMI->isChecked());
    main->PrintBarCodeMI->trigger();
    EXPECT_TRUE(main->settings.PrintBarCode);
    EXPECT_FALSE(main->DontPrintBarCodeMI->isChecked());
}

TEST_F(MainWindowTest, SplashStaysUntilItsTimerHasRunAndGoesWhenShown) {
    WriteSettledSettings();
    auto* splash = new TF_About(1, "", "");
    splash->Timer1.setInterval(200);  // the real splash waits 3 seconds
    splash->show();
    EXPECT_EQ(splash->height(), 80);
    EXPECT_EQ(splash->panelMain->height(), 62);
    EXPECT_FALSE(splash->btnOK->isVisible());
    EXPECT_TRUE(splash->Timer1.isActive());
    QElapsedTimer sinceShown;
    sinceShown.start();
    splash->Timer1Timer();  // as a timer firing early would: the splash waits out the rest
    EXPECT_TRUE(splash->Timer1.isActive());
    QPointer<TF_About> watch(splash);
    main = std::make_unique<TF_Main>(splash);
    ASSERT_TRUE(watch);
    EXPECT_FALSE(splash->Timer1.isActive());  // creation waited for the timer
    EXPECT_GE(sinceShown.elapsed(), 200);
    QTest::keyClick(splash, Qt::Key_Escape);  // does nothing in splash mode
    EXPECT_TRUE(splash->isVisible());
    main->show();
    QApplication::processEvents();
    EXPECT_TRUE(watch.isNull());
}

TEST_F(MainWindowTest, NewPostageTypedAtStartReplacesTheDefault) {
    WriteSettledSettings();
    Start();
    main->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(main.get()));
    QApplication::processEvents();
    ASSERT_TRUE(main->editPostage->hasFocus());
    EXPECT_EQ(main->editPostage->selectedText(), Blanks(10) + "0.39");
    QTest::keyClicks(main->editPostage, "0.44");
    QTest::keyClick(main->editPostage, Qt::Key_Tab);
    QApplication::processEvents();
    EXPECT_EQ(main->editPostage->text(), Blanks(10) + "0.44");
    EXPECT_EQ(main->editTotal->text(), Blanks(10) + "4.69");
    EXPECT_EQ(main->editCertFee->selectedText(), Blanks(10) + "2.40");  // and on to the next fee
}

TEST_F(MainWindowTest, RegistrationFormPrintsFromTheHelpMenuAndFromPrintNow) {
    ASSERT_TRUE(QFile::copy(GREENSLIP_SOURCE_DIR "/data/bcapp.emf", QString::fromStdString(dirs.Path() + "program/bcapp.emf")));
    RecordingPrintTarget printer;
    SetPrintTargetForTesting(&printer);
    WriteSettledSettings("", true);
    scripted.ui.dialogAnswers.push_back([](QDialog& d) { d.done(3); });  // "&Print Now"
    Start();
    EXPECT_EQ(printer.pages.size(), 1u);
    EXPECT_FALSE(main->settings.BarCodeApp);
    main->BarCodePrintingRegistration1->trigger();
    EXPECT_EQ(printer.pages.size(), 2u);
    ASSERT_FALSE(printer.pages[1].items.empty());
    EXPECT_EQ(printer.pages[1].items[0].kind, RecordedItem::Kind::Picture);
    SetPrintTargetForTesting(nullptr);
}

TEST_F(MainWindowTest, ResellerLogoDecidesTheBrandingAtTheFirstStart) {
    QImage logo(40, 20, QImage::Format_RGB32);
    logo.fill(Qt::red);
    ASSERT_TRUE(logo.save(QString::fromStdString(dirs.Path() + "program/Scr_logo.bmp"), "BMP"));
    scripted.ui.dialogAnswers.push_back([](QDialog& d) { d.reject(); });  // sender dialog
    scripted.ui.dialogAnswers.push_back([](QDialog& d) { d.reject(); });  // mailer dialog
    scripted.ui.dialogAnswers.push_back([](QDialog& d) { d.done(1); });   // "&Never Print"
    Start();
    EXPECT_EQ(main->settings.Company, "Varnholt");
    EXPECT_EQ(main->imageCompany->pixmap().toImage().pixelColor(5, 5), QColor(Qt::red));
    scripted.ui.dialogAnswers.push_back([&](QDialog& d) {
        // 56 pixels more for the logo, and the folder lines below.
        EXPECT_EQ(d.height(), 302 + 56 + d.findChild<QLabel*>("labelFolders")->height() + 4);
        EXPECT_EQ(d.findChild<QLabel*>("labelEMail")->text(), "support@quorvale.com");  // the maker's support
        // The links open through the platform and only outside splash mode.
        QTest::mouseClick(d.findChild<QLabel*>("labelWebSite"), Qt::LeftButton);
        QTest::mouseClick(d.findChild<QLabel*>("labelEMail"), Qt::LeftButton);
        d.accept();
    });
    main->MIAbout->trigger();
    ASSERT_GE(scripted.ui.asked.size(), 2u);
    EXPECT_EQ(scripted.ui.asked[scripted.ui.asked.size() - 2].text, "www.varnholtforms.com");
    EXPECT_EQ(scripted.ui.asked.back().text, "mailto:support@quorvale.com?Subject=" + ApplicationTitle());
    main->close();
    EXPECT_EQ(SavedSettings().ReadString("Type", "Company", ""), "Varnholt");  // kept from now on
}

TEST(VersionLabel, FirstThreeParts) {
    EXPECT_EQ(VersionLabelText("3.0.0.0"), "Version 3.0.0");
    EXPECT_EQ(VersionLabelText("3.5.2"), "Version 3.5.");
    EXPECT_EQ(VersionLabelText(""), "Version 3.0");
}

}  // namespace
}  // namespace gs
