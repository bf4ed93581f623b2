#pragma once
// Small text rules used all over the program: trimming blanks and comparing
// names without regard to case. Standard library only, so the table store
// and the INI file can use them as well as the windows.
#include <string>
#include <string_view>

namespace gs {

// Trims blanks at both ends (the framework's Trim: every character up to
// and including the space).
std::string Trim(std::string_view text);

// Trims spaces and tabs at both ends and nothing else, as the INI file
// reads its section names, keys and values.
std::string_view TrimSpacesAndTabs(std::string_view s);

// The ASCII letters compared without regard to case, every other byte as
// it stands.
bool EqualNoCase(std::string_view a, std::string_view b);

}  // namespace gs
