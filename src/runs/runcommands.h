#pragma once
// The two batch print commands of the File menu, with their questions,
// dialogs, progress window and messages. The loops themselves are
// widget-free (runs/labelrun.h, runs/massprint.h).
#include "runs/massprint.h"

#include <QFont>
#include <optional>

class QWidget;

namespace gs {

struct Settings;
class SharedNumbers;

// File > "Print &Bar Codes": asks, steps the article number so the dialog
// offers the serial after the last one used, shows TF_PrintBarCode (Cancel
// puts the numbers back), refuses the customer ID "00-000-0000" in barcode
// mode, then prints the labels under the hourglass with a progress window.
// Afterwards the serial setting holds the last serial printed, in the
// settings file too; the pre-printed mailer number is as it was. A run that
// stops early says how far it got. An ArticleNumberError from the step and a
// SettingsBusyError propagate with nothing printed.
void PrintBarCodesCommand(Settings& settings, SharedNumbers& numbers, const QFont& baseFont, QWidget* parent);

// What mass printing needs of the window beside the records it walks.
class MassPrintTable : public MassPrintRecords {
public:
    // The records that will print (not marked deleted), after a pending edit
    // of the current record is written; nullopt when it could not be (the
    // table store told the user).
    virtual std::optional<int> LiveCount() = 0;
};

// File > "&Mass Print": asks with the count of the records that will print,
// then prints and logs them (MassPrint) with the mailer-number dialog while
// it is to be shown, a progress window, and the messages of a run that
// ended early; a piece printed but not logged (another copy kept the log
// locked) and numbers the settings file did not take are reported once at
// the end.
void MassPrintCommand(MassPrintTable& table, Settings& settings, SharedNumbers& numbers, bool& showMailerScreen,
                      const PieceJob& job, QWidget* parent);

}  // namespace gs
