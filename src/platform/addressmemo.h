#pragma once
// The multi-line box of the recipient and sender addresses: it wraps at the
// address-box width and holds at most four displayed lines.
#include <QTextEdit>

namespace gs {

class AddressMemo : public QTextEdit {
    Q_OBJECT
public:
    explicit AddressMemo(QWidget* parent = nullptr);

    // The displayed lines (wrapped parts count as lines).
    QStringList Lines() const;
    // Line i (0-based), empty when the box has fewer lines.
    QString Line(int i) const;
    // Deletes displayed lines past the fourth; returns whether it cut.
    bool CutToFourLines();
    // Writes each of the first four lines back with its own text (content
    // unchanged); reported through rewritten() as an edit would be.
    void RewriteLines();

signals:
    void rewritten();
    void left();  // the box lost the focus

protected:
    void focusOutEvent(QFocusEvent* event) override;
};

}  // namespace gs
