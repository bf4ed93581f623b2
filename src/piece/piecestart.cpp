#include "piece/piecestart.h"

#include "maillog/maillog.h"
#include "numbering/impbnumber.h"
#include "piece/printedpiece.h"

namespace gs {

PieceStartAnswer MayPieceStart(const Settings& settings, std::string_view recipientZip, unsigned checks) {
    using namespace piece_check;
    if (checks & LogFolder) {
        if (std::string folder = UnreachableLogFolder(settings); !folder.empty())
            return {PieceRefusal::LogFolderUnreachable, std::move(folder)};
    }
    if ((checks & CustomerId) && CustomerIdMissing(settings)) return {PieceRefusal::CustomerIdMissing, {}};
    if (checks & ZipBarcode) {
        if (std::string problem = ZipBarcodeProblem(settings); !problem.empty())
            return {PieceRefusal::ZipBarcodeFields, std::move(problem)};
    }
    if (!ArticleFormatIsImpb(settings)) return {};
    if (checks & Impb) {
        if (ImpbCheck check = CheckImpbFields(ImpbFieldsOf(settings)); check.field != ImpbField::None)
            return {PieceRefusal::ImpbFields, std::move(check.problem)};
    }
    if ((checks & RecipientZip) && ImpbRoutingZip(recipientZip).empty())
        return {PieceRefusal::RecipientZip,
                "The recipient's ZIP code is not complete. The IMpb barcode carries it: enter the 5-digit ZIP "
                "or the ZIP+4."};
    return {};
}

}  // namespace gs
