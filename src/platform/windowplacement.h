#pragma once

class QWidget;

namespace gs {

// Moves a window so that it sits in the middle of its screen's free area.
void CentreOnScreen(QWidget& window);

// Moves a window beside `anchor`'s window (to its right, else to its left)
// when the anchor's screen has room for it there, else centres it on the
// anchor's window; either way it stays on that screen's free area.
void PlaceBesideOrCentredOn(QWidget& window, const QWidget& anchor);

}  // namespace gs
