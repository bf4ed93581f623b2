#include "platform/datafolders.h"

#include "platform/paths.h"

#include <QDir>
#include <cstdlib>
#include <filesystem>
#include <system_error>

#ifndef GREENSLIP_DATA_FROM_BIN
#define GREENSLIP_DATA_FROM_BIN "../share/greenslip"
#endif

namespace gs {

namespace {

// Any one of them marks a folder of data files; the others may be missing
// from a partial copy and are reported where they are used.
const char* const kShippedDataFiles[] = {"Gslip3.hlp", "Gslip3.rpt", "bcapp.emf"};

std::string WithSlash(std::string dir) {
    if (dir.empty() || dir.back() != '/') dir += '/';
    return dir;
}

bool HoldsDataFiles(const std::string& dir) {
    std::error_code ec;
    for (const char* name : kShippedDataFiles)
        if (std::filesystem::is_regular_file(dir + name, ec)) return true;
    return false;
}

bool Exists(const std::string& path) {
    std::error_code ec;
    return std::filesystem::exists(path, ec);
}

}  // namespace

std::string DataFolders::WritableFolder(const std::string& name) const {
    const std::string folder = WithSlash(writeDir + name);
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    return folder;
}

std::string DataFolders::LogoFile() const {
    const std::string own = writeDir + "Scr_logo.bmp";
    if (Exists(own)) return own;
    const std::string shared = readDir + "Scr_logo.bmp";
    return Exists(shared) ? shared : own;
}

namespace {

DataFolders Installed(const std::string& dataDir, const std::string& xdgDataHome, const std::string& home) {
    DataFolders f;
    f.layout = FolderLayout::Installed;
    f.readDir = dataDir;
    // A relative value is to be ignored, as if it were unset.
    const std::string dataHome = !xdgDataHome.empty() && xdgDataHome.front() == '/'
                                     ? xdgDataHome
                                     : WithSlash(home) + ".local/share";
    f.writeDir = WithSlash(WithSlash(dataHome) + "greenslip");
    return f;
}

}  // namespace

DataFolders LocateDataFolders(const std::string& exeDir, const std::string& xdgDataHome, const std::string& home,
                              const std::string& dataDirOverride) {
    if (!dataDirOverride.empty()) {
        std::error_code ec;
        const auto absolute = std::filesystem::absolute(dataDirOverride, ec);
        const std::string chosen = WithSlash(absolute.lexically_normal().string());
        if (!ec && HoldsDataFiles(chosen)) return Installed(chosen, xdgDataHome, home);
    }

    DataFolders f;
    const std::string programDir = WithSlash(exeDir);
    f.readDir = f.writeDir = programDir;
    if (HoldsDataFiles(programDir)) return f;

    const std::string installedData =
        WithSlash(std::filesystem::path(programDir + GREENSLIP_DATA_FROM_BIN).lexically_normal().string());
    if (!HoldsDataFiles(installedData)) return f;
    return Installed(installedData, xdgDataHome, home);
}

DataFolders ProgramDataFolders() {
    const char* xdg = std::getenv("XDG_DATA_HOME");
    const char* home = std::getenv("HOME");
    const char* dataDir = std::getenv("GREENSLIP_DATA_DIR");
    return LocateDataFolders(ExecutableDir(), xdg ? xdg : "",
                             home && *home ? std::string(home) : QDir::homePath().toStdString(),
                             dataDir ? dataDir : "");
}

}  // namespace gs
