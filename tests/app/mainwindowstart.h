#pragma once
// What the main-window tests start from: a settings file of a registered
// company with its sender address, and the window shown with its start-up
// run (FormShow comes queued, hence two rounds of events).
#include "app/tf_main.h"
#include "platform/inifile.h"
#include "support/tempdir.h"

#include <QApplication>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <string>

namespace gs::test {

// The settings file: [Type] and [YourAddress] as every test has them, then
// "[Values]\n" + `values`, which may go on with further sections.
inline void WriteMainWindowSettings(const SandboxDirs& dirs, const std::string& values) {
    IniFile ini(dirs.SettingsFile());
    ini.LoadFromText("[Type]\nCompany=Quorvale\nBarCodeApp=0\n"
                     "[YourAddress]\nLine1=ACME Corp\nLine2=1 Main St\nCity=Springfield\nState=IL\nZip=62701\n"
                     "[Values]\n" + values);
    ASSERT_TRUE(ini.Save());
}

// A new main window on the current settings file, shown and through its
// start-up; `beforeShow` may set its test hooks first.
inline std::unique_ptr<TF_Main> ShowMainWindow(const std::function<void(TF_Main&)>& beforeShow = {}) {
    auto main = std::make_unique<TF_Main>();
    if (beforeShow) beforeShow(*main);
    main->show();
    QApplication::processEvents();
    QApplication::processEvents();
    return main;
}

}  // namespace gs::test
