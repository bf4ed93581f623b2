#include "platform/datafolders.h"

#include "platform/paths.h"
#include "support/tempdir.h"

#include <QByteArray>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>

namespace gs {
namespace {

namespace fs = std::filesystem;

void Touch(const std::string& path) {
    fs::create_directories(fs::path(path).parent_path());
    std::ofstream(path) << "x";
}

// Program folders laid out in a temporary folder: "<root>/<where>/<file>".
class DataFoldersTest : public ::testing::Test {
protected:
    std::string Root() const { return dir.Path(); }
    void Place(const std::string& relative) { Touch(Root() + relative); }
    DataFolders Locate(const std::string& exe, const std::string& xdg = "", const std::string& home = "/home/ann") {
        return LocateDataFolders(Root() + exe, xdg, home);
    }
    test::TempDir dir;
};

TEST_F(DataFoldersTest, DataFilesBesideTheExecutableKeepEverythingThere) {
    // The build tree, and a program folder copied anywhere; any one data file
    // marks it, and data in ../share/greenslip/ too does not change that.
    for (const char* file : {"Gslip3.hlp", "Gslip3.rpt", "bcapp.emf"}) {
        SCOPED_TRACE(file);
        test::TempDir fresh;
        Touch(fresh.Path() + "usr/bin/" + file);
        Touch(fresh.Path() + "usr/share/greenslip/Gslip3.hlp");
        const DataFolders f = LocateDataFolders(fresh.Path() + "usr/bin/", "/xdg", "/home/ann");
        EXPECT_EQ(f.layout, FolderLayout::ProgramFolder);
        EXPECT_EQ(f.readDir, fresh.Path() + "usr/bin/");
        EXPECT_EQ(f.writeDir, fresh.Path() + "usr/bin/");
    }
}

TEST_F(DataFoldersTest, InstalledReadsFromShareAndWritesForTheUser) {
    Place("usr/share/greenslip/bcapp.emf");
    struct Case {
        const char* xdg;
        const char* home;
        std::string writeDir;
    };
    const Case cases[] = {
        {"/xdg/data", "/home/ann", "/xdg/data/greenslip/"},
        {"/xdg/data/", "/home/ann", "/xdg/data/greenslip/"},
        {"", "/home/ann", "/home/ann/.local/share/greenslip/"},
        {"", "/root/", "/root/.local/share/greenslip/"},  // root alike
        {"relative/data", "/home/ann", "/home/ann/.local/share/greenslip/"},  // ignored, as if unset
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.xdg) + " | " + c.home);
        for (const char* exe : {"usr/bin/", "usr/bin"}) {
            const DataFolders f = Locate(exe, c.xdg, c.home);
            EXPECT_EQ(f.layout, FolderLayout::Installed);
            EXPECT_EQ(f.readDir, Root() + "usr/share/greenslip/");
            EXPECT_EQ(f.writeDir, c.writeDir);
            EXPECT_EQ(f.DataFile("Gslip3.hlp"), Root() + "usr/share/greenslip/Gslip3.hlp");
        }
    }
}

TEST_F(DataFoldersTest, NoDataFilesAnywhereIsAProgramFolder) {
    Place("usr/share/greenslip/README");  // not one of the data files
    const DataFolders f = Locate("usr/bin/", "/xdg");
    EXPECT_EQ(f.layout, FolderLayout::ProgramFolder);
    EXPECT_EQ(f.writeDir, Root() + "usr/bin/");
}

TEST_F(DataFoldersTest, ChosenDataFolderReadsThereAndWritesForTheUser) {
    // A build tree's bin/ holds the data files too: the chosen folder still
    // wins, and nothing is written beside the executable.
    Place("build/bin/Gslip3.hlp");
    Place("src/data/Gslip3.rpt");
    for (const std::string& chosen : {Root() + "src/data", Root() + "src/data/", Root() + "src/./data"}) {
        SCOPED_TRACE(chosen);
        const DataFolders f = LocateDataFolders(Root() + "build/bin/", "", "/home/ann", chosen);
        EXPECT_EQ(f.layout, FolderLayout::Installed);
        EXPECT_EQ(f.readDir, Root() + "src/data/");
        EXPECT_EQ(f.writeDir, "/home/ann/.local/share/greenslip/");
    }
    // A folder without data files is passed over, as if unset.
    Place("empty/README");
    for (const std::string& chosen : {Root() + "empty", Root() + "missing"}) {
        SCOPED_TRACE(chosen);
        const DataFolders f = LocateDataFolders(Root() + "build/bin/", "", "/home/ann", chosen);
        EXPECT_EQ(f.layout, FolderLayout::ProgramFolder);
        EXPECT_EQ(f.writeDir, Root() + "build/bin/");
    }
}

TEST_F(DataFoldersTest, WritableFoldersAreCreatedOnFirstUse) {
    DataFolders f;
    f.readDir = Root() + "share/";
    f.writeDir = Root() + "home/.local/share/greenslip/";
    EXPECT_FALSE(fs::exists(f.writeDir));
    EXPECT_EQ(f.WritableFolder("Reports"), f.writeDir + "Reports/");
    EXPECT_TRUE(fs::is_directory(f.writeDir + "Reports"));
    EXPECT_EQ(f.WritableFolder("Printed"), f.writeDir + "Printed/");  // again, beside it
    EXPECT_TRUE(fs::is_directory(f.writeDir + "Printed"));
    EXPECT_FALSE(fs::exists(f.readDir));  // nothing is ever made where the data is read

    // A folder that cannot be made is still named; its user reports the error.
    Place("blocked");
    f.writeDir = Root() + "blocked/";
    EXPECT_EQ(f.WritableFolder("Reports"), Root() + "blocked/Reports/");
}

TEST_F(DataFoldersTest, LogoIsTheUsersOwnElseTheSharedOne) {
    DataFolders f;
    f.readDir = Root() + "share/";
    f.writeDir = Root() + "mine/";
    EXPECT_EQ(f.LogoFile(), Root() + "mine/Scr_logo.bmp");  // neither: where a user would put one
    Place("share/Scr_logo.bmp");
    EXPECT_EQ(f.LogoFile(), Root() + "share/Scr_logo.bmp");
    Place("mine/Scr_logo.bmp");
    EXPECT_EQ(f.LogoFile(), Root() + "mine/Scr_logo.bmp");
}

TEST_F(DataFoldersTest, RunningProgramFollowsItsFolderAndEnvironment) {
    Place("opt/bin/greenslip");
    Place("opt/share/greenslip/Gslip3.hlp");
    const QByteArray oldXdg = qgetenv("XDG_DATA_HOME");
    qputenv("XDG_DATA_HOME", QByteArray::fromStdString(Root() + "data"));
    SetExecutableDirForTesting(Root() + "opt/bin/");
    const DataFolders f = ProgramDataFolders();
    SetExecutableDirForTesting("");
    if (oldXdg.isEmpty()) qunsetenv("XDG_DATA_HOME");
    else qputenv("XDG_DATA_HOME", oldXdg);
    EXPECT_EQ(f.layout, FolderLayout::Installed);
    EXPECT_EQ(f.readDir, Root() + "opt/share/greenslip/");
    EXPECT_EQ(f.writeDir, Root() + "data/greenslip/");
}

TEST_F(DataFoldersTest, RunningProgramTakesTheDataFolderFromTheEnvironment) {
    // As scripts/run.sh starts the build tree's program.
    Place("build/bin/Gslip3.hlp");
    Place("tree/data/Gslip3.hlp");
    const QByteArray oldXdg = qgetenv("XDG_DATA_HOME");
    qputenv("XDG_DATA_HOME", QByteArray::fromStdString(Root() + "home/data"));
    qputenv("GREENSLIP_DATA_DIR", QByteArray::fromStdString(Root() + "tree/data"));
    SetExecutableDirForTesting(Root() + "build/bin/");
    const DataFolders f = ProgramDataFolders();
    SetExecutableDirForTesting("");
    qunsetenv("GREENSLIP_DATA_DIR");
    if (oldXdg.isEmpty()) qunsetenv("XDG_DATA_HOME");
    else qputenv("XDG_DATA_HOME", oldXdg);
    EXPECT_EQ(f.layout, FolderLayout::Installed);
    EXPECT_EQ(f.readDir, Root() + "tree/data/");
    EXPECT_EQ(f.writeDir, Root() + "home/data/greenslip/");
}

}  // namespace
}  // namespace gs
