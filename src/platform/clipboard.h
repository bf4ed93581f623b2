#pragma once
// The clipboard as plain text, in the program's Windows-1252, with every
// line break in the CR LF form that Windows programs put on the clipboard:
// programs on X11 and Wayland end their lines with a lone LF, and the
// address paste splits lines at CR LF. Empty when the clipboard holds no text.
#include <string>

namespace gs {

std::string ClipboardText();

// The conversion itself: CR LF and LF CR pairs stay as they are (both end a
// pasted line); every other LF becomes CR LF.
std::string WithCrLfLineBreaks(const std::string& text);

}  // namespace gs
