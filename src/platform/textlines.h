#pragma once
// The "displayed lines" of a multi-line box: each paragraph wrapped at the
// box's width in its font, every wrapped part counting as a line; an empty
// last line is not counted. The same notion serves the screen, the printed
// form and the log.
#include <QFont>
#include <QStringList>

namespace gs {

struct DisplayedLine {
    QString text;
    qsizetype start = 0;  // position of the line's first character in the whole text
};

QList<DisplayedLine> DisplayedLines(const QString& text, const QFont& font, int widthPx);
QStringList DisplayedLineTexts(const QString& text, const QFont& font, int widthPx);

// Cuts the text so that at most maxLines displayed lines remain (the lines
// past the limit are deleted, the line break before them too).
QString KeepDisplayedLines(const QString& text, const QFont& font, int widthPx, int maxLines);

// The recipient and sender boxes wrap at this width in the 11-pixel dialog font.
constexpr int kAddressBoxWrapWidth = 265;
QFont AddressBoxFont();

}  // namespace gs
