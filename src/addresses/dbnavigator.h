#pragma once
// The navigator bar of a table: one button per operation, in this order,
// each with its hint shown as a tool tip. The bar only reports presses; the
// owner does the work and greys what cannot apply (SetStates).
#include <QWidget>
#include <array>

class QToolButton;

namespace gs {

enum class NavigateBtn { First, Prior, Next, Last, Insert, Delete, Post, Cancel, Refresh };
inline constexpr int kNavigateButtonCount = 9;

class DbNavigator : public QWidget {
    Q_OBJECT
public:
    explicit DbNavigator(QWidget* parent = nullptr);

    QToolButton* Button(NavigateBtn b) const { return buttons_[static_cast<std::size_t>(b)]; }
    // "First record", "Prior record", ... "Refresh data".
    static QString Hint(NavigateBtn b);
    // Greys what the data navigator greys: moves towards the end the cursor
    // already stands at, Post and Cancel without an edit, everything on a
    // closed table.
    void SetStates(bool active, bool bof, bool eof, bool editing);
    // Presses a button from the program, as the user would.
    void Press(NavigateBtn b) { emit pressed(b); }

signals:
    void pressed(gs::NavigateBtn button);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    std::array<QToolButton*, kNavigateButtonCount> buttons_{};
};

}  // namespace gs
