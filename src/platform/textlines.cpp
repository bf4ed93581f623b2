#include "platform/textlines.h"

#include "platform/fonts.h"

#include <QTextLayout>

namespace gs {

QList<DisplayedLine> DisplayedLines(const QString& text, const QFont& font, int widthPx) {
    QList<DisplayedLine> lines;
    QString normalized = text;
    normalized.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    // Positions refer to the text as given, so count removed CRs back in.
    qsizetype paragraphStart = 0;   // in normalized text
    qsizetype offset = 0;           // CRs removed before paragraphStart
    const QStringList paragraphs = normalized.split('\n');
    for (qsizetype p = 0; p < paragraphs.size(); ++p) {
        const QString& para = paragraphs[p];
        const qsizetype base = paragraphStart + offset;
        if (para.isEmpty()) {
            lines.append({QString(), base});
        } else {
            QTextLayout layout(para, font);
            QTextOption option;
            option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
            layout.setTextOption(option);
            layout.beginLayout();
            for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
                line.setLineWidth(widthPx);
                lines.append({para.mid(line.textStart(), line.textLength()), base + line.textStart()});
            }
            layout.endLayout();
        }
        paragraphStart += para.size() + 1;
        if (text.mid(base + para.size(), 2) == QStringLiteral("\r\n")) ++offset;
    }
    if (!lines.isEmpty() && lines.back().text.isEmpty()) lines.removeLast();
    return lines;
}

QStringList DisplayedLineTexts(const QString& text, const QFont& font, int widthPx) {
    QStringList out;
    for (const auto& l : DisplayedLines(text, font, widthPx)) out << l.text;
    return out;
}

QString KeepDisplayedLines(const QString& text, const QFont& font, int widthPx, int maxLines) {
    const auto lines = DisplayedLines(text, font, widthPx);
    if (lines.size() <= maxLines) return text;
    QString kept = text.left(lines[maxLines].start);
    if (kept.endsWith(QStringLiteral("\r\n"))) kept.chop(2);
    else if (kept.endsWith('\n')) kept.chop(1);
    return kept;
}

QFont AddressBoxFont() { return FormFont(); }

}  // namespace gs
