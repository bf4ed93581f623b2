// greenslip-batch: the batch print command. It needs no display: it runs on
// Qt's offscreen platform with a plain GUI application (fonts and painting),
// and links no widgets.
#include "app/batchcommand.h"
#include "platform/fonts.h"

#include <QGuiApplication>
#include <iostream>
#include <unistd.h>

namespace {

// Qt's notes about its own environment (no runtime folder, no display) are
// noise in a script's log; everything else goes to stderr.
void QtMessages(QtMsgType type, const QMessageLogContext&, const QString& text) {
    if (type == QtDebugMsg || type == QtInfoMsg) return;
    if (text.startsWith("QStandardPaths:")) return;
    std::cerr << text.toStdString() << "\n";
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    // --help and --version need no application at all.
    if (const auto options = gs::ParseBatchArguments(args, nullptr); options && (options->help || options->version))
        return gs::RunBatch(args, std::cout, std::cerr, false);
    qInstallMessageHandler(QtMessages);
    qputenv("QT_QPA_PLATFORM", "offscreen");
    if (qgetenv("QT_QPA_FONTDIR").isEmpty()) qputenv("QT_QPA_FONTDIR", "/usr/share/fonts/truetype");
    QGuiApplication app(argc, argv);
    QGuiApplication::setApplicationName("Greenslip");
    gs::RegisterFontSubstitutions();
    return gs::RunBatch(args, std::cout, std::cerr, isatty(STDERR_FILENO) == 1);
}
