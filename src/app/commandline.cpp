#include "app/commandline.h"

#include <algorithm>
#include <ostream>

namespace gs {

std::string WindowUsage() {
    return "Usage: greenslip [--help | --version]\n"
           "Prints US certified-mail forms, keeps a log of every piece in a dBase table, keeps\n"
           "address tables and prints reports of the log. Starts the window (it needs a display);\n"
           "greenslip-batch prints a list of recipients from a script.\n"
           "\n"
           "  --help                 show this text\n"
           "  --version              show the program's version\n"
           "\n"
           "Files:\n"
           "  $XDG_CONFIG_HOME/gslip3.ini, else ~/.config/gslip3.ini\n"
           "                         the settings\n"
           "  $XDG_DATA_HOME/greenslip/, else ~/.local/share/greenslip/\n"
           "                         your own files: the mail log in Reports/, address tables in\n"
           "                         Addresses/, PDFs in Printed/ when no printer is installed\n"
           "  /usr/share/greenslip/  the help, report layouts and registration form\n"
           "Help > About in the window lists the settings file and the folders in use.\n"
           "See greenslip(1) and greenslip-batch(1).\n";
}

std::optional<int> AnswerCommandLine(const std::vector<std::string>& args, std::ostream& out) {
    const auto has = [&](const char* option) { return std::find(args.begin(), args.end(), option) != args.end(); };
    if (has("--help")) {
        out << WindowUsage();
        return 0;
    }
    if (has("--version")) {
        out << "greenslip " << GREENSLIP_VERSION << "\n";
        return 0;
    }
    return std::nullopt;
}

}  // namespace gs
