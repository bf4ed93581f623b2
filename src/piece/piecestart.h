#pragma once
// May this piece start, and if not, why: the checks that come before a
// number is taken, in one place for Print, Mass Print, label runs and the
// batch command. Each caller says the answer in its own words; none of them
// repeats a check.
//
// The checks, in the order they are made (a caller names the ones it makes
// at this point of its command):
//   LogFolder     the mail log folder that is set can be reached
//   CustomerId    barcode mode with the 20-digit number has a customer ID
//                 other than "00-000-0000"
//   ZipBarcode    the Intelligent Mail ZIP barcode's tracking fields make a
//                 tracking code (when that barcode is chosen)
//   Impb          the IMpb fields make a 22-digit number (when the IMpb
//                 format is chosen)
//   RecipientZip  the recipient's ZIP is complete, 5 digits or ZIP+4 (when
//                 the IMpb format is chosen: its barcode carries the ZIP)
#include "settings/settings.h"

#include <string>
#include <string_view>

namespace gs {

enum class PieceRefusal { None, LogFolderUnreachable, CustomerIdMissing, ZipBarcodeFields, ImpbFields, RecipientZip };

namespace piece_check {
inline constexpr unsigned LogFolder = 1, CustomerId = 2, ZipBarcode = 4, Impb = 8, RecipientZip = 16;
inline constexpr unsigned All = LogFolder | CustomerId | ZipBarcode | Impb | RecipientZip;
}  // namespace piece_check

struct PieceStartAnswer {
    PieceRefusal refusal = PieceRefusal::None;
    // LogFolderUnreachable: the folder; ZipBarcodeFields, ImpbFields and
    // RecipientZip: what is wrong, in a sentence for the user.
    std::string detail;
    bool MayStart() const { return refusal == PieceRefusal::None; }
};

// recipientZip: the ZIP as the piece carries it (after NormalizeZip).
PieceStartAnswer MayPieceStart(const Settings& settings, std::string_view recipientZip,
                               unsigned checks = piece_check::All);

}  // namespace gs
