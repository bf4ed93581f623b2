#include "settings/tf_logfolder.h"

#include "platform/scripteduserinteraction.h"
#include "settings/settings.h"
#include "support/tempdir.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

namespace gs {
namespace {

class LogFolderTest : public ::testing::Test {
protected:
    std::string Default() const { return dir.Path() + "mine/Reports/"; }
    QString Path(const char* relative) const { return QString::fromStdString(dir.Path()) + relative; }

    // Opens the dialog, types `folder` and presses OK; true when it closed
    // with OK. stillOpen tells whether the dialog was still open after OK.
    bool TypeAndOk(const QString& folder, bool* stillOpen = nullptr) {
        scripted.ui.dialogAnswers.push_back([=](QDialog& d) {
            auto& dialog = static_cast<TF_LogFolder&>(d);
            dialog.editFolder->setText(folder);
            dialog.btnOK->click();
            if (stillOpen) *stillOpen = dialog.isVisible();
        });
        return ChooseLogFolder(settings, Default(), nullptr);
    }

    test::TempDir dir;
    ScopedScriptedUi scripted;
    Settings settings;
};

TEST_F(LogFolderTest, ShowsTheFolderInUseAndTheDefault) {
    TF_LogFolder dialog(settings, Default());
    EXPECT_EQ(dialog.windowTitle(), "Mail Log Folder");
    EXPECT_EQ(dialog.editFolder->text(), QString::fromStdString(dir.Path() + "mine/Reports"));
    EXPECT_TRUE(dialog.lblDefault->text().remove(QChar(0x200B)).endsWith("mine/Reports/"));
    settings.ReportsDir = "/srv/office/log";
    TF_LogFolder shared(settings, Default());
    EXPECT_EQ(shared.editFolder->text(), "/srv/office/log");
}

TEST_F(LogFolderTest, TheDefaultIsStoredAsNoFolder) {
    settings.ReportsDir = "/srv/office/log";
    scripted.ui.dialogAnswers.push_back([](QDialog& d) {
        auto& dialog = static_cast<TF_LogFolder&>(d);
        dialog.btnDefault->click();
        dialog.btnOK->click();
    });
    ASSERT_TRUE(ChooseLogFolder(settings, Default(), nullptr));
    EXPECT_EQ(settings.ReportsDir, "");
    // The default typed by hand, or nothing at all, is the default too.
    for (const QString& typed : {QString::fromStdString(Default()), QString("  ")}) {
        settings.ReportsDir = "/srv/office/log";
        ASSERT_TRUE(TypeAndOk(typed));
        EXPECT_EQ(settings.ReportsDir, "");
    }
    for (const auto& asked : scripted.ui.asked) EXPECT_EQ(asked.kind, "dialog");  // no question, no refusal
}

TEST_F(LogFolderTest, AnExistingFolderIsStoredCleaned) {
    QDir().mkpath(Path("share/log"));
    ASSERT_TRUE(TypeAndOk(" " + Path("share//log/") + " "));
    EXPECT_EQ(settings.ReportsDir, dir.Path() + "share/log");
    ASSERT_TRUE(TypeAndOk("~"));
    EXPECT_EQ(settings.ReportsDir, QDir::homePath().toStdString());
}

TEST_F(LogFolderTest, AMissingFolderIsCreatedOnlyWhenTheUserAgrees) {
    bool open = false;
    scripted.ui.messageAnswers.push_back(QMessageBox::No);
    EXPECT_FALSE(TypeAndOk(Path("new/log"), &open));
    EXPECT_TRUE(open);  // the dialog stayed open for another folder
    EXPECT_FALSE(QFileInfo::exists(Path("new/log")));
    EXPECT_EQ(settings.ReportsDir, "");
    ASSERT_EQ(scripted.ui.asked.size(), 2u);
    EXPECT_EQ(scripted.ui.asked[1].text, "The folder \"" + Path("new/log") + "\" does not exist.\nCreate it?");

    scripted.ui.messageAnswers.push_back(QMessageBox::Yes);
    ASSERT_TRUE(TypeAndOk(Path("new/log")));
    EXPECT_TRUE(QFileInfo(Path("new/log")).isDir());
    EXPECT_EQ(settings.ReportsDir, dir.Path() + "new/log");
}

TEST_F(LogFolderTest, WhatCannotHoldTheLogIsRefusedAndTheDialogStaysOpen) {
    QFile file(Path("a-file"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    struct Case {
        QString typed;
        QString message;
        QMessageBox::StandardButton answer;  // to a question before the refusal
    };
    const Case cases[] = {
        {"office/log", "Please enter the full path of the folder, beginning with \"/\".", QMessageBox::NoButton},
        {Path("a-file"), "\"" + Path("a-file") + "\" is not a folder.", QMessageBox::NoButton},
        {Path("a-file/log"), "The folder \"" + Path("a-file/log") + "\" could not be created.", QMessageBox::Yes},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed.toStdString());
        scripted.ui.asked.clear();
        if (c.answer != QMessageBox::NoButton) scripted.ui.messageAnswers.push_back(c.answer);
        bool open = false;
        EXPECT_FALSE(TypeAndOk(c.typed, &open));
        EXPECT_TRUE(open);
        EXPECT_EQ(settings.ReportsDir, "");
        ASSERT_FALSE(scripted.ui.asked.empty());
        EXPECT_EQ(scripted.ui.asked.back().text, c.message);
        EXPECT_EQ(scripted.ui.asked.back().icon, QMessageBox::Critical);
    }
}

TEST_F(LogFolderTest, BrowseStartsAtTheTypedFolderAndEscKeepsTheSetting) {
    QDir().mkpath(Path("share/log"));
    settings.ReportsDir = "/srv/office/log";
    scripted.ui.fileAnswers = {"", Path("share/log/")};
    scripted.ui.dialogAnswers.push_back([&](QDialog& d) {
        auto& dialog = static_cast<TF_LogFolder&>(d);
        dialog.btnBrowse->click();  // cancelled: the text stays
        EXPECT_EQ(dialog.editFolder->text(), "/srv/office/log");
        dialog.btnBrowse->click();
        EXPECT_EQ(dialog.editFolder->text(), Path("share/log"));
        QTest::keyClick(&dialog, Qt::Key_Escape);
    });
    EXPECT_FALSE(ChooseLogFolder(settings, Default(), nullptr));
    EXPECT_EQ(settings.ReportsDir, "/srv/office/log");
    ASSERT_EQ(scripted.ui.asked.size(), 3u);
    EXPECT_EQ(scripted.ui.asked[1].kind, "folder");
    EXPECT_EQ(scripted.ui.asked[1].text, "/srv/office/log");
}

}  // namespace
}  // namespace gs
