#pragma once
// The paper every job asks for. The forms are US Letter, so that is what a
// job gets unless the user chose another size in the printer setup; the
// choice is kept in the settings ("Printing", "PaperSize") by its Qt key
// ("Letter", "A4", "Legal"; a custom size as "<width>x<height>pt").
#include <QMarginsF>
#include <QPageLayout>
#include <QPageSize>
#include <string>

namespace gs {

// An empty or unknown value gives Letter.
QPageSize PaperFromSetting(const std::string& value);
std::string PaperSetting(const QPageSize& size);

// Portrait on the paper of the setting, with the given margins in points.
QPageLayout ProgramPageLayout(const std::string& paperSetting, const QMarginsF& margins = {});

}  // namespace gs
