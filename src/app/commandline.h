#pragma once
// The options the window program answers on the terminal before it starts
// the window, so they work without a display:
//
//   greenslip --help      what the program is, its files and folders
//   greenslip --version   "greenslip <version>"
//
// Every other argument is left to Qt (its own options such as -platform);
// the program itself reads none.
#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

namespace gs {

std::string WindowUsage();

// The exit status when the arguments (after the program name) ask for one
// of these answers, written to out; nullopt when the window is to start.
std::optional<int> AnswerCommandLine(const std::vector<std::string>& args, std::ostream& out);

}  // namespace gs
