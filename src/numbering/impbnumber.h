#pragma once
// The Intelligent Mail package barcode's number (IMpb): the 22-digit
// package identification code of today's certified mail. Channel "92" with
// a 9-digit Mailer ID and a 7-digit serial, or "93" with a 6-digit Mailer ID
// and a 10-digit serial; always a 3-digit Service Type Code after the
// channel and the check digit last:
//
//   channel(2) + service type(3) + Mailer ID(9|6) + serial(7|10) + check(1)
//
// The check digit is the postal modulo-10 rule of the 20-digit number
// (weights 3, 1, 3, ... from the rightmost of the 21 digits). The 20-digit
// article number stays the default format; the setting ArticleFormat
// "IMpb" chooses this one in barcode mode. No widgets.
#include "settings/settings.h"

#include <string>
#include <string_view>

namespace gs {

struct ImpbFields {
    std::string channel, serviceType, mailerId, serial;
    bool operator==(const ImpbFields&) const = default;
};

ImpbFields ImpbFieldsOf(const Settings& settings);

// Whether the program composes IMpb numbers: barcode mode with the setting
// ArticleFormat holding "IMpb" (any other text keeps the 20-digit number).
bool ArticleFormatIsImpb(const Settings& settings);

// Digits of the Mailer ID and of the serial for a channel: 9 and 7 for
// "92", 6 and 10 for "93", 0 and 0 for anything else.
int ImpbMailerIdDigits(std::string_view channel);
int ImpbSerialDigits(std::string_view channel);

enum class ImpbField { None, Channel, ServiceType, MailerId, Serial };

struct ImpbCheck {
    ImpbField field = ImpbField::None;  // the first field that is missing or wrong
    std::string problem;                // in words for the user, naming the field
};
ImpbCheck CheckImpbFields(const ImpbFields& fields);

// The 22 digits (meaningful when CheckImpbFields finds nothing).
std::string ComposeImpbNumber(const ImpbFields& fields);

// The routing code an IMpb barcode carries after AI 420: the ZIP's 5 or 9
// digits (a hyphen and blanks between them allowed), or "" when the ZIP is
// not complete.
std::string ImpbRoutingZip(std::string_view zip);

// serial + delta within its digits, wrapping at both ends ("9999999" + 1 is
// "0000000"). Throws ArticleNumberError when the serial is no whole number.
std::string StepImpbSerialText(std::string_view serial, int delta);

// Moves the serial by delta (+1 or -1) within its digits, from the largest
// back to all zeros and the other way. Only in barcode mode with the IMpb
// format; a serial that does not fit its channel is left as it stands
// (printing refuses it and says why). Never throws.
void StepImpbSerial(Settings& settings, int delta);

// A pre-printed 22-digit number moved by delta: its serial (the digits
// before the check digit that the channel gives it; 7 unless the channel is
// "93") steps within its digits and the check digit is computed afresh.
// Throws ArticleNumberError when the serial is no whole number.
std::string StepImpbNumber(std::string_view number, int delta);

}  // namespace gs
