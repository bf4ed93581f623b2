#include "support/tempdir.h"

#include "platform/paths.h"

#include <QDir>

namespace gs::test {

TempDir::TempDir() : dir_(QDir::tempPath() + "/greenslip-test-XXXXXX") {}
TempDir::~TempDir() = default;

std::string TempDir::Path() const { return dir_.path().toStdString() + "/"; }

SandboxDirs::SandboxDirs() : oldXdg_(qgetenv("XDG_CONFIG_HOME")) {
    QDir().mkpath(QString::fromStdString(Path() + "config"));
    qputenv("XDG_CONFIG_HOME", QByteArray::fromStdString(Path() + "config"));
    SetExecutableDirForTesting(Path() + "program/");
    QDir().mkpath(QString::fromStdString(Path() + "program"));
}

SandboxDirs::~SandboxDirs() {
    SetExecutableDirForTesting("");
    if (oldXdg_.isEmpty()) qunsetenv("XDG_CONFIG_HOME");
    else qputenv("XDG_CONFIG_HOME", oldXdg_);
}

std::string SandboxDirs::SettingsFile() const { return SettingsFilePath(); }

}  // namespace gs::test
