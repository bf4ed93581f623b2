#include "printing/printcommands.h"

#include "platform/userinteraction.h"
#include "printing/tf_align.h"
#include "printing/tf_extralabel.h"

namespace gs {

void AlignmentCommand(Settings& settings, QWidget* parent) {
    TF_Align dialog(settings, parent);
    Ui().RunModal(dialog);
}

void ExtraLabelCommand(Settings& settings, QWidget* parent) {
    TF_ExtraLabel dialog(settings, parent);
    Ui().RunModal(dialog);
}

}  // namespace gs
