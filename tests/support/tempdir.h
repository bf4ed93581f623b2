#pragma once
// A private folder for one test, removed afterwards; also points the
// settings file and the program folder into it.
#include <QTemporaryDir>
#include <string>

namespace gs::test {

class TempDir {
public:
    TempDir();
    ~TempDir();
    std::string Path() const;  // ends in "/"
    std::string File(const std::string& name) const { return Path() + name; }

private:
    QTemporaryDir dir_;
};

// TempDir that also becomes the program folder and the settings folder.
class SandboxDirs : public TempDir {
public:
    SandboxDirs();
    ~SandboxDirs();
    std::string SettingsFile() const;

private:
    QByteArray oldXdg_;
};

}  // namespace gs::test
