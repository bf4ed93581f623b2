#pragma once

class QFont;

namespace gs {

// The one rule for the metrics of every window of the program: the windows
// keep the pixel sizes of the forms they were laid out from, and those forms
// were laid out for an 8-point "MS Sans Serif" at 96 pixels per inch, an
// 11-pixel font. So every window draws in an 11-pixel sans serif (Liberation
// Sans), fixed in pixels rather than points, so that neither the desktop's
// default font nor its DPI setting can make a text outgrow its control. No
// window grows with its text; a text that does not fit is a layout fault
// (the window catalog test finds it).
QFont FormFont();
// Makes FormFont() the application font. Call once, before the first window.
void ApplyFormFont();

// Registers the faces that stand in for the Windows fonts the forms name:
// "OCR A Extended" -> OCRA, "Arial" -> Liberation Sans, "Courier New" ->
// Liberation Mono, "MS Sans Serif" -> the form font's family.
void RegisterFontSubstitutions();

}  // namespace gs
