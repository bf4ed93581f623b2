#pragma once
// The tracking code of the Intelligent Mail barcode, built from the
// settings: barcode identifier (2 digits, the second 0 to 4), service type
// identifier (3 digits), mailer ID (6 digits beginning with 0 to 8, or 9
// digits beginning with 9) and serial number (9 digits with a 6-digit
// mailer ID, 6 with a 9-digit one): 20 digits in all. No widgets.
#include "settings/settings.h"

#include <string>

namespace gs {

struct ImbTrackingFields {
    std::string barcodeId, serviceType, mailerId, serial;
    bool operator==(const ImbTrackingFields&) const = default;
};

ImbTrackingFields ImbTrackingOf(const Settings& settings);

// Whether the form's ZIP barcodes are Intelligent Mail barcodes: the
// setting holds exactly "IMB"; anything else keeps POSTNET.
bool ZipBarcodeIsImb(const Settings& settings);

// Digits the serial number needs beside this mailer ID: 9 for a 6-digit
// one, 6 for a 9-digit one, 0 while the mailer ID is neither.
int ImbSerialDigits(const std::string& mailerId);

enum class ImbField { None, BarcodeId, ServiceType, MailerId, Serial };

struct ImbTrackingCheck {
    ImbField field = ImbField::None;  // the first field that is wrong
    std::string problem;              // what is wrong with it, in words for the user
};
ImbTrackingCheck CheckImbTracking(const ImbTrackingFields& fields);

// Empty when the fields make a tracking code, else CheckImbTracking's words.
std::string ImbTrackingProblem(const ImbTrackingFields& fields);

// The 20 digits (the fields joined; meaningful when there is no problem).
std::string ImbTrackingCode(const ImbTrackingFields& fields);

// Moves the serial number by delta within its digits, from the largest back
// to all zeros and the other way. A serial that does not fit its mailer ID
// is left as it stands (printing refuses it and says why); so is everything
// while the ZIP barcodes are POSTNET. Never throws.
void StepImbSerial(Settings& settings, int delta);
// The same move on the fields alone (no check of the ZIP barcode choice).
ImbTrackingFields ImbTrackingStepped(ImbTrackingFields fields, int delta);

// Every Intelligent Mail barcode printed carries a tracking code of its own.
// A form prints two (the recipient's and the sender's ZIP block) and a third
// on the extra label when it carries the recipient's address; 0 with
// POSTNET. A piece steps the serial by this many, so its settings serial is
// the recipient's and its other symbols take the serials just below it:
// the sender's serial - 1, the extra label's serial - 2.
int ImbSymbolsPerPiece(const Settings& settings);

}  // namespace gs
