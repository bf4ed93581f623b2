#pragma once

class QWidget;

namespace gs {

// Moves a window so that it sits in the middle of its screen's free area.
void CentreOnScreen(QWidget& window);

}  // namespace gs
