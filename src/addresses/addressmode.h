#pragma once
// Address-database mode of the main window's "Addressed To" box: the
// controls bound to the current record of an address table, the navigator,
// the table's path and position, the "&Exit" button, and the switch between
// the box's two layouts.
//
// The main window creates one AddressMode over its box, handing it the plain
// recipient controls that the mode hides (their texts are left alone), and
// connects entryChanged() to its SetEntryEditable. While the mode is on, the
// recipient of a printed or logged piece is what the bound controls show,
// an edit not yet posted included (Recipient()).
//
// Binding: the bound controls hold the record's texts; typing into one starts
// an edit of the record (AddressTable::Change), moving posts it, Cancel
// reloads the controls from the record. Loading a record is not typing.
//
// Walking the table from elsewhere (mass printing):
//
//     for (mode.First(); !mode.Eof(); mode.Next())   // each move is a navigator
//         if (!mode.IsDeleted()) print(mode.Recipient());  // press, ending with
//                                                     // ShowRecordPosition
//
// Working on the table file from elsewhere (the text import):
//
//     const bool reopen = mode.CloseIfActive();   // posts a pending edit first
//     ... write the file ...
//     if (reopen) mode.ReopenAndFocus();          // position shown, focus in the box
#include "addresses/addresstable.h"
#include "addresses/dbnavigator.h"

#include <QObject>
#include <QRect>
#include <array>
#include <cstdint>
#include <string>

class QAction;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QWidget;

namespace gs {

class AddressMemo;

class AddressMode : public QObject {
    Q_OBJECT
public:
    // The main window's controls that the mode hides, moves or enables.
    struct PlainControls {
        AddressMemo* memoAddress;
        QLineEdit* editCity;
        QLineEdit* editState;
        QLineEdit* editZip;
        QPushButton* btnClear;
        QPushButton* btnPaste;   // its geometry now is its normal-entry place
        QAction* MIMassPrint;
    };
    // The recipient as the bound controls show it.
    struct BoundRecipient {
        std::array<std::string, 4> lines;  // displayed lines of the box, "" past its last
        std::string city, state;
        std::string zip;  // the mask's text: "62701-    "
    };

    // Creates the mode's controls inside box, hidden.
    AddressMode(QGroupBox* box, const PlainControls& plain, QObject* parent = nullptr);

    AddressTable& Table() { return table_; }

    AddressMemo* tzmemoAddress;
    QLineEdit* tzeditCity;
    QLineEdit* tzeditState;
    QLineEdit* tzeditZip;
    DbNavigator* tznavigator1;
    QLabel* labelDatabaseName;
    QLabel* labelOrder;
    QPushButton* btnExit;

    // Whether the box shows the mode (the table is open then, except while
    // the text import works on its file).
    bool Active() const { return active_; }

    // File > "&Read/Write to a database": asks for a table, starting in
    // addressDir; a chosen file's folder becomes addressDir. Cancelling
    // changes nothing. A file that does not exist becomes a new address
    // table. An open table is left for the chosen one without the pack (a
    // pending edit is posted first; when that fails nothing changes). A table
    // that cannot be opened is reported and the box goes back to normal
    // entry. True when the mode is on with the chosen table.
    bool EnterAddressMode(QWidget* dialogParent, std::string& addressDir);
    // "&Exit": posts a pending edit, packs and closes the table, puts the box
    // back into normal entry and disables Mass Print. False, with nothing
    // changed, when the edit could not be posted (the lock message was shown).
    bool LeaveAddressMode();
    // Posts what was typed into the current record (an insert nobody typed
    // into is dropped). False, with the edit kept, when the lock message was
    // shown.
    bool PostPendingEdit() { return table_.PostIfModified(); }
    // The main window closing: closes the table without the pack, so the
    // deletion marks stay (post the pending edit before).
    void CloseForShutdown();

    // labelOrder := "n/m", as wide as the navigator.
    void ShowRecordPosition();

    // Walking the table. Each is a press of the navigator's button, so it
    // ends with ShowRecordPosition.
    void First() { tznavigator1->Press(NavigateBtn::First); }
    void Next() { tznavigator1->Press(NavigateBtn::Next); }
    bool Eof() const { return table_.Eof(); }
    bool IsDeleted() const { return table_.IsDeleted(); }
    // Records not marked deleted (posts a pending edit first).
    std::uint32_t LiveRecordCount() { return table_.LiveRecordCount(); }
    BoundRecipient Recipient() const;

    // For work on the table file itself: closes the open table (posting a
    // pending edit first) and returns whether one was open; the box stays in
    // the mode. Throws std::runtime_error, leaving the table open, when the
    // pending edit could not be posted.
    bool CloseIfActive();
    // Reopens the table closed by CloseIfActive, shows the position and puts
    // the focus into tzmemoAddress (an open that fails is reported and the
    // box goes back to normal entry).
    void ReopenAndFocus();

signals:
    // A bound control changed, by typing, pasting or a record being shown.
    void entryChanged();

public slots:
    // Runs a navigator button's operation, then ShowRecordPosition.
    void tznavigator1Click(gs::NavigateBtn button);
    void tzmemoAddressChange();
    void tzmemoAddressExit();

private:
    void SwitchLayout(bool on);
    bool OpenTable(const std::string& path);
    void ShowError(const QString& text);
    void LoadRecord();
    void BoundEditChanged(QLineEdit* edit);
    void UpdateNavigator();

    QGroupBox* box_;
    PlainControls plain_;
    QRect pasteNormal_;
    AddressTable table_;
    bool active_ = false;
    bool loading_ = false;
    std::string reopenPath_;
};

}  // namespace gs
