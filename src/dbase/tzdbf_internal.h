#pragma once
// Helpers shared by the files that make up TTzDbf (tzdbf_*.cpp). Not part of
// the table store's interface: include it from those files only.
#include <cstddef>
#include <cstdint>
#include <string>

#include "dbase/tzdbf.h"

namespace gs::tzdbf_detail {

std::string Trim(const std::string& s);
std::string TrimRight(const std::string& s);
std::string Upper(std::string s);
inline bool IsMemoType(char t) { return t == 'M' || t == 'B' || t == 'G' || t == 'P'; }
inline bool IsKnownType(char t) {
    return t == 'C' || t == 'D' || t == 'N' || t == 'F' || t == 'L' || IsMemoType(t);
}
std::string RightAlign(const std::string& s, int width);
// The type as error texts name it ("Character", "Numeric, width: 5 decimals: 0").
std::string TypeName(const DbfFieldDef& f);
// The number in the stored form; false when it is no number.
bool ParseNumber(const std::string& text, double& out);
// The stored form of v: right-aligned, or asterisks when it does not fit.
std::string FormatNumber(double v, int length, int decimals);
inline void PutU32(char* p, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) p[i] = static_cast<char>((v >> (8 * i)) & 0xFF);
}
// Adds ".DBF" to a name without extension; an existing "name.dbf" written
// by another program is found too.
std::string WithDbfExtension(const std::string& name);

// Records read or written in one call by the whole-file passes (pack, index).
inline constexpr std::size_t kChunkRecords = 8192;

}  // namespace gs::tzdbf_detail
