#include "printing/printcommands.h"

#include "platform/datafolders.h"
#include "platform/userinteraction.h"
#include "printing/registration.h"
#include "printing/systemprinter.h"
#include "printing/tf_extralabel.h"

namespace gs {

void ExtraLabelCommand(Settings& settings, QWidget* parent) {
    TF_ExtraLabel dialog(settings, parent);
    Ui().RunModal(dialog);
}

void PrintRegistrationForm() {
    WaitCursor wait;
    PrintRegistrationForm(CurrentPrintTarget(), ProgramDataFolders().DataFile("bcapp.emf"));
}

}  // namespace gs
