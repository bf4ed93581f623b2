#pragma once
// The printing menu commands of the main window that open a dialog.
class QWidget;

namespace gs {

struct Settings;

// Options > Print Options > "&Extra Label".
void ExtraLabelCommand(Settings& settings, QWidget* parent);

// Help > "&Print Bar Code Printing Registration": "bcapp.emf" from the
// program's data files on the current printer, with the wait cursor; any failure
// is silent.
void PrintRegistrationForm();

}  // namespace gs
