#pragma once
// The table's path as the mode's label shows it: whole when it fits the
// "Addressed To" box, else cut after its leading folders with ".../" in front.
#include <functional>
#include <string>

namespace gs {

inline constexpr int kPathLabelFits = 265;   // pixels: shown whole up to this width
inline constexpr int kPathLabelTarget = 251; // cut folders until the rest is no wider

// textWidth measures a text in the label's font, in pixels.
std::string ShortenedTablePath(const std::string& path, const std::function<int(const std::string&)>& textWidth);

}  // namespace gs
