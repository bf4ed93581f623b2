#include "addresses/pathlabel.h"

namespace gs {

std::string ShortenedTablePath(const std::string& path, const std::function<int(const std::string&)>& textWidth) {
    if (textWidth(path) <= kPathLabelFits) return path;
    std::string rest = path;
    // The width test comes first: a rest that fits keeps its folders.
    while (textWidth(rest) > kPathLabelTarget) {
        const std::size_t slash = rest.find('/');
        if (slash == std::string::npos) break;
        rest.erase(0, slash + 1);
    }
    return ".../" + rest;
}

}  // namespace gs
