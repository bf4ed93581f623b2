#pragma once
// Select-all on keyboard focus, for every entry field of every window.
//
// An entry field (QLineEdit, masked or not, spin box, editable combo box)
// selects its whole text when the keyboard brings the focus to it (Tab,
// Shift+Tab, an accelerator) and when it takes the first focus of its window
// (the start-up focus of the main window, the first field of a dialog), so
// that typing replaces the value as users expect of form fields. A mouse
// click still places the cursor where it lands, and coming back to a window
// that was already in use leaves the selection as it was.
//
// One application-wide event filter does it, so a new window needs nothing
// of its own. SetUpApplication() installs it; calling this again does nothing.

namespace gs {

void InstallSelectAllOnFocus();

}  // namespace gs
