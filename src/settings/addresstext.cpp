#include "settings/addresstext.h"

#include "platform/textutil.h"
#include "settings/settings.h"

namespace gs {

std::string NormalizeZip(std::string_view zip) {
    std::string z = Trim(zip);
    if (z == "-") return {};
    const auto dash = z.find('-');
    if (dash != std::string::npos && dash + 1 == z.size()) {
        z.pop_back();
    } else if (!z.empty() && z.front() == '-') {
        z = Trim(std::string_view(z).substr(1));
    }
    return z;
}

std::array<std::string, 5> SenderLabels(const Settings& s) {
    std::array<std::string, 5> labels{s.Line1, s.Line2, s.Line3, s.Line4, ""};
    const std::string cityLine = Trim(s.City + " " + s.State + " " + s.Zip);
    for (auto& label : labels) {
        if (&label == &labels[4] || Trim(label).empty()) {
            label = cityLine;
            break;
        }
    }
    return labels;
}

}  // namespace gs
