#pragma once
// A modal question whose buttons carry the caller's captions. It sizes itself
// to the captions and the message (measured in its own font) and ends with the
// 1-based position of the pressed button. There is no cancel button: Esc and
// the window manager's close do nothing, so one of the buttons must answer.
#include <QDialog>
#include <QList>
#include <QStringList>

class QLabel;
class QPushButton;

namespace gs {

// The start-up reminder about barcode-printing registration.
inline constexpr char kRegistrationTitle[] = "Bar Code Printing Registration";
inline constexpr char kRegistrationNotice[] =
    "This software now prints the newly required bar code on your Certified Mail mailers.  "
    "Because of this, the U.S. Postal Service requires that you register with them.  "
    "Please print and fill in the enclosed form, and forward it to the U.S. Postal Service at the "
    "enclosed address.";
inline constexpr char kNeverPrintCaption[] = "&Never Print";  // result 1
inline constexpr char kPrintLaterCaption[] = "Print &Later";  // result 2
inline constexpr char kPrintNowCaption[] = "&Print Now";      // result 3

class ButtonChoiceDialog : public QDialog {
    Q_OBJECT
public:
    ButtonChoiceDialog(const QString& title, const QString& message, const QStringList& captions,
                       QWidget* parent = nullptr);

    QLabel* MessageLabel() const { return message_; }
    // The button of caption i (1-based, in the caller's order).
    QPushButton* Button(int i) const { return buttons_.at(i - 1); }

public slots:
    // Only a button ends the dialog.
    void reject() override {}

protected:
    // A caption's marked letter presses its button, with or without Alt.
    void keyPressEvent(QKeyEvent* event) override;

private:
    QLabel* message_;
    QList<QPushButton*> buttons_;
};

// Shows the question modally through the program's user interaction and
// returns the 1-based position of the pressed button.
int AskButtonChoice(QWidget* parent, const QString& title, const QString& message, const QStringList& captions);

}  // namespace gs
