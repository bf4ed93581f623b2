#include "platform/paths.h"

#include <QCoreApplication>
#include <QDir>
#include <cstdlib>

namespace gs {

namespace {
std::string& Override() {
    static std::string dir;
    return dir;
}
std::string WithSlash(std::string dir) {
    if (dir.empty() || dir.back() != '/') dir += '/';
    return dir;
}
}  // namespace

std::string ExecutableDir() {
    if (!Override().empty()) return WithSlash(Override());
    return WithSlash(QCoreApplication::applicationDirPath().toStdString());
}

void SetExecutableDirForTesting(const std::string& dir) { Override() = dir; }

std::string SettingsFilePath() {
    const char* xdg = std::getenv("XDG_CONFIG_HOME");
    std::string dir;
    if (xdg && *xdg) {
        dir = xdg;
    } else {
        const char* home = std::getenv("HOME");
        dir = std::string(home && *home ? home : QDir::homePath().toStdString()) + "/.config";
    }
    return WithSlash(dir) + "gslip3.ini";
}

}  // namespace gs
