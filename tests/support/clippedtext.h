#pragma once
// Finds the texts of a window that cannot be read in full: a label, check
// box, radio button, push button or group-box title whose text needs more
// width or height than its control gives it (a word-wrapped label: more
// height for its width, or a word wider than the label), or whose text lies
// partly outside a parent that cuts it off (a radio button hanging out of
// its group box). A read-only text box that would need a scroll bar to show
// its text counts too. Hidden controls are not looked at.
#include <QList>
#include <QString>

class QWidget;

namespace gs::test {

struct ClippedText {
    QString control;  // object name, or class name when it has none
    QString text;
    QString why;      // "needs 84 px in height, has 59", "outside gbFees at the bottom"
};

QList<ClippedText> FindClippedTexts(const QWidget& window);

// One line per finding, for a test's failure message.
QString Describe(const QList<ClippedText>& found);

}  // namespace gs::test
