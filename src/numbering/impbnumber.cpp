#include "numbering/impbnumber.h"

#include "numbering/articlenumber.h"
#include "numbering/digits.h"

namespace gs {

ImpbFields ImpbFieldsOf(const Settings& s) {
    return {s.IMpbChannel, s.IMpbServiceType, s.IMpbMailerId, s.IMpbSerial};
}

bool ArticleFormatIsImpb(const Settings& settings) {
    return settings.PrintBarCode && settings.ArticleFormat == "IMpb";
}

int ImpbMailerIdDigits(std::string_view channel) { return channel == "92" ? 9 : channel == "93" ? 6 : 0; }
int ImpbSerialDigits(std::string_view channel) { return channel == "92" ? 7 : channel == "93" ? 10 : 0; }

ImpbCheck CheckImpbFields(const ImpbFields& f) {
    if (f.channel != "92" && f.channel != "93")
        return {ImpbField::Channel, f.channel.empty() ? "The IMpb Channel is missing."
                                                      : "The IMpb Channel is 92 or 93."};
    if (f.serviceType.size() != 3 || !AllDigits(f.serviceType))
        return {ImpbField::ServiceType, f.serviceType.empty() ? "The IMpb Service Type Code is missing."
                                                              : "The IMpb Service Type Code has three digits."};
    const int midDigits = ImpbMailerIdDigits(f.channel);
    if (static_cast<int>(f.mailerId.size()) != midDigits || !AllDigits(f.mailerId))
        return {ImpbField::MailerId, f.mailerId.empty()
                                         ? "The IMpb Mailer ID is missing."
                                         : "With channel " + f.channel + " the IMpb Mailer ID has " +
                                               std::to_string(midDigits) + " digits."};
    const int serialDigits = ImpbSerialDigits(f.channel);
    if (static_cast<int>(f.serial.size()) != serialDigits || !AllDigits(f.serial))
        return {ImpbField::Serial, f.serial.empty()
                                       ? "The IMpb Serial Number is missing."
                                       : "With a " + std::to_string(midDigits) +
                                             "-digit Mailer ID the IMpb Serial Number has " +
                                             std::to_string(serialDigits) + " digits."};
    return {};
}

std::string ComposeImpbNumber(const ImpbFields& f) {
    std::string number = f.channel + f.serviceType + f.mailerId + f.serial;
    number += PostalCheckDigit(number);
    return number;
}

std::string ImpbRoutingZip(std::string_view zip) {
    std::string digits;
    for (char c : zip) {
        if (c >= '0' && c <= '9')
            digits += c;
        else if (c != '-' && c != ' ')
            return {};
    }
    // "12345-" (a ZIP+4 left blank) is a complete five-digit ZIP.
    if (digits.size() == 5 || digits.size() == 9) return digits;
    return {};
}

void StepImpbSerial(Settings& settings, int delta) {
    if (!ArticleFormatIsImpb(settings)) return;
    const int digits = ImpbSerialDigits(settings.IMpbChannel);
    std::string& serial = settings.IMpbSerial;
    if (digits == 0 || static_cast<int>(serial.size()) != digits || !AllDigits(serial)) return;
    serial = StepWithinDigits(serial, delta);
}

std::string StepImpbSerialText(std::string_view serial, int delta) {
    if (!AllDigits(serial) || serial.size() > 17)
        throw ArticleNumberError("'" + std::string(serial) + "' is not a valid integer value");
    return StepWithinDigits(serial, delta);
}

std::string StepImpbNumber(std::string_view number, int delta) {
    const std::size_t serialDigits = number.substr(0, 2) == "93" ? 10 : 7;
    const std::string_view serial = number.size() == 22 ? number.substr(21 - serialDigits, serialDigits) : number;
    if (number.size() != 22 || !AllDigits(serial))
        throw ArticleNumberError("'" + std::string(serial) + "' is not a valid integer value");
    std::string body = std::string(number.substr(0, 21 - serialDigits)) + StepWithinDigits(serial, delta);
    body += PostalCheckDigit(body);
    return body;
}

}  // namespace gs
