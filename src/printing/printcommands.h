#pragma once
// The printing menu commands of the main window that open a dialog.
class QWidget;

namespace gs {

struct PiecePreview;
struct Settings;

// Options > Print Options > "Printer &Alignment", its pane showing the
// preview (the next print of the current piece) on the next job's page.
void AlignmentCommand(Settings& settings, const PiecePreview& preview, QWidget* parent);
// Options > Print Options > "&Extra Label".
void ExtraLabelCommand(Settings& settings, QWidget* parent);

// Help > "&Print Bar Code Printing Registration": "bcapp.emf" from the
// program's data files on the current printer, with the wait cursor; any failure
// is silent.
void PrintRegistrationForm();

}  // namespace gs
