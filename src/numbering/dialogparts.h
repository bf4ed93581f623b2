#pragma once
// The building blocks the mailer-number dialog is laid out with: plain-text
// labels, rows of labels that read as one sentence, masked fields and the
// hidden help panels in the small help font.
#include <QString>
#include <initializer_list>

class QFrame;
class QHBoxLayout;
class QLabel;
class QLineEdit;
class QObject;
class QPlainTextEdit;
class QWidget;

namespace gs {

QLabel* TextLabel(const QString& text, QWidget* parent, bool bold = false, bool wrap = false);

// Labels side by side; the last one takes the rest of the line and wraps.
QHBoxLayout* Row(std::initializer_list<QLabel*> labels);

// A field with a mask in the forms' notation (platform/maskedit.h).
QLineEdit* MaskedEdit(const char* name, const char* mask, QWidget* parent);

// A hidden, framed panel at (0, top), width x height, in the 10-pixel help font.
QFrame* HelpPanel(const char* name, int top, int width, int height, QWidget* parent);

// The height a read-only text box needs to show all its lines, wrapped at
// the given width, without scrolling.
int TextBoxHeight(QPlainTextEdit& box, int width);

// Makes a help panel as tall as its laid-out content needs at its width,
// when that is more than it has: the fonts at hand may wrap more lines.
void FitHelpPanel(QFrame* panel);

// Fills a help panel with the help on the customer ID and the identifier
// serial number that the mailer-number and bar-code label dialogs share.
// Returns the Dun & Bradstreet address in it ("LabelDnB", underlined, blue),
// with linkWatcher installed as its event filter: the dialog gives it the
// hand cursor and opens the address when it is clicked.
QLabel* FillBarcodeHelp(QFrame* panel, QObject* linkWatcher);

}  // namespace gs
