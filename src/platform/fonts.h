#pragma once

namespace gs {

// Registers the faces that stand in for the Windows fonts the forms name:
// "OCR A Extended" -> OCRA, "Arial" -> Liberation Sans, "Courier New" ->
// Liberation Mono, "MS Sans Serif" -> the application font's family.
void RegisterFontSubstitutions();

}  // namespace gs
