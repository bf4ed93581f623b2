#pragma once
// The progress dialog of a long import or export: a bar, the records done,
// and Cancel. Shown only when the work is larger than kProgressDialogMinimum.
#include <QString>
#include <cstdint>
#include <memory>

#include "addresses/texttransfer.h"

class QProgressDialog;
class QWidget;

namespace gs {

// The dialog itself, not yet shown: a bar counting thousandths, Cancel.
std::unique_ptr<QProgressDialog> MakeTransferProgressDialog(QWidget* parent, const QString& label);

// Shows the dialog for the length of one import or export.
class TransferProgressDialog {
public:
    TransferProgressDialog(QWidget* parent, const QString& label, std::uint64_t total);
    ~TransferProgressDialog();

    // The progress function for the work: updates the dialog, lets it handle
    // the Cancel button, and returns false once Cancel was pressed. Empty
    // when no dialog is shown.
    TransferProgress Callback();

private:
    std::unique_ptr<QProgressDialog> dialog_;
};

}  // namespace gs
