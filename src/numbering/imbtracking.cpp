#include "numbering/imbtracking.h"

#include "numbering/digits.h"

namespace gs {

ImbTrackingFields ImbTrackingOf(const Settings& s) {
    return {s.IMbBarcodeId, s.IMbServiceType, s.IMbMailerId, s.IMbSerial};
}

bool ZipBarcodeIsImb(const Settings& settings) { return settings.ZipBarCode == "IMB"; }

int ImbSerialDigits(const std::string& mailerId) {
    if (!AllDigits(mailerId)) return 0;
    if (mailerId.size() == 6 && mailerId[0] != '9') return 9;
    if (mailerId.size() == 9 && mailerId[0] == '9') return 6;
    return 0;
}

ImbTrackingCheck CheckImbTracking(const ImbTrackingFields& f) {
    if (f.barcodeId.size() != 2 || !AllDigits(f.barcodeId) || f.barcodeId[1] > '4')
        return {ImbField::BarcodeId, "The Barcode ID has two digits, the second of them 0 to 4."};
    if (f.serviceType.size() != 3 || !AllDigits(f.serviceType))
        return {ImbField::ServiceType, "The Service Type ID has three digits."};
    if ((f.mailerId.size() != 6 && f.mailerId.size() != 9) || !AllDigits(f.mailerId))
        return {ImbField::MailerId, "The Mailer ID has 6 or 9 digits."};
    const int serialDigits = ImbSerialDigits(f.mailerId);
    if (serialDigits == 0)
        return {ImbField::MailerId, "A 6-digit Mailer ID begins with 0 to 8, a 9-digit Mailer ID with 9."};
    if (static_cast<int>(f.serial.size()) != serialDigits || !AllDigits(f.serial))
        return {ImbField::Serial, "With a " + std::to_string(f.mailerId.size()) +
                                      "-digit Mailer ID the Tracking Serial has " + std::to_string(serialDigits) +
                                      " digits."};
    return {};
}

std::string ImbTrackingProblem(const ImbTrackingFields& fields) { return CheckImbTracking(fields).problem; }

std::string ImbTrackingCode(const ImbTrackingFields& f) {
    return f.barcodeId + f.serviceType + f.mailerId + f.serial;
}

ImbTrackingFields ImbTrackingStepped(ImbTrackingFields fields, int delta) {
    std::string& serial = fields.serial;
    const int digits = ImbSerialDigits(fields.mailerId);
    if (digits == 0 || static_cast<int>(serial.size()) != digits || !AllDigits(serial)) return fields;
    serial = StepWithinDigits(serial, delta);
    return fields;
}

void StepImbSerial(Settings& settings, int delta) {
    if (!ZipBarcodeIsImb(settings)) return;
    settings.IMbSerial = ImbTrackingStepped(ImbTrackingOf(settings), delta).serial;
}

int ImbSymbolsPerPiece(const Settings& settings) {
    if (!ZipBarcodeIsImb(settings)) return 0;
    return settings.PrintExtraLabel == "Yes" && settings.ExtraLabel == "Addressed To" ? 3 : 2;
}

}  // namespace gs
