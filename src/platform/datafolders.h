#pragma once
// Where the program reads the data files it ships with and where it writes
// its own files. There are two layouts, told apart by where the shipped data
// files (help, report project, registration form) lie:
//
//   Program folder: the executable's own folder holds them (the build tree,
//   or a program folder copied anywhere). Everything is read and written
//   there, as it always was: the data files, "Reports/", "Addresses/",
//   "Printed/" and the optional logo "Scr_logo.bmp".
//
//   Installed: the executable lies in a bin/ folder whose
//   ../share/greenslip/ holds them (a package, or cmake --install). The data
//   files are read from there and nothing is written there (it belongs to
//   root, and to every user); the program's own files go to
//   $XDG_DATA_HOME/greenslip/, or ~/.local/share/greenslip/ when that is
//   unset or not an absolute path. So each user, root too, has folders of
//   their own.
//
// An executable with the data files in neither place (a bare executable, a
// test's sandbox) is taken for a program folder: it keeps writing beside
// itself as before, and a missing data file is reported where it is used.
//
// GREENSLIP_DATA_DIR, when it names a folder that holds the data files,
// chooses the installed layout with that folder as the data files' place,
// wherever the executable lies. scripts/run.sh starts the program from the
// build tree this way, reading the source tree's data/ and writing the
// user's files where an installed copy does, so that deleting the build
// never deletes a mail log. An installed copy run without it is unchanged.
//
// Paths are the file system's bytes (UTF-8), every folder ending in "/".
#include <string>

namespace gs {

enum class FolderLayout { ProgramFolder, Installed };

struct DataFolders {
    FolderLayout layout = FolderLayout::ProgramFolder;
    std::string readDir;   // the shipped data files
    std::string writeDir;  // the program's own files

    // A shipped data file ("Gslip3.hlp", "Gslip3.rpt", "bcapp.emf").
    std::string DataFile(const std::string& name) const { return readDir + name; }

    // writeDir + name + "/", created (with writeDir itself) when missing.
    // A failure to create is not reported here: whoever writes into the
    // folder reports its own error.
    std::string WritableFolder(const std::string& name) const;

    // The optional branding logo: the user's own copy in writeDir, else one
    // in readDir (where an administrator may put it for everybody); the
    // first of those two paths when neither exists.
    std::string LogoFile() const;

    bool operator==(const DataFolders&) const = default;
};

// The folders for an executable in exeDir (ending in "/"), with the values
// of XDG_DATA_HOME, HOME (either may be empty) and GREENSLIP_DATA_DIR
// (empty when unset).
DataFolders LocateDataFolders(const std::string& exeDir, const std::string& xdgDataHome, const std::string& home,
                              const std::string& dataDirOverride = {});

// The running program's folders, from ExecutableDir() and the environment.
// Worked out afresh on each call (a few file lookups), so a test that moves
// the program folder or the environment is followed at once.
DataFolders ProgramDataFolders();

}  // namespace gs
