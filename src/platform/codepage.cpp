#include "platform/codepage.h"

#include "platform/codepage_tables.h"

namespace gs {

namespace {
void Map(const unsigned char* table, const char* src, char* dst, std::size_t n) {
    for (std::size_t i = 0; i < n; ++i)
        dst[i] = static_cast<char>(table[static_cast<unsigned char>(src[i])]);
}
}  // namespace

std::string AnsiToOem(std::string_view ansi) {
    std::string out(ansi.size(), '\0');
    Map(cp::kAnsiToOem, ansi.data(), out.data(), ansi.size());
    return out;
}

std::string OemToAnsi(std::string_view oem) {
    std::string out(oem.size(), '\0');
    Map(cp::kOemToAnsi, oem.data(), out.data(), oem.size());
    return out;
}

void AnsiToOemBuff(const char* src, char* dst, std::size_t n) { Map(cp::kAnsiToOem, src, dst, n); }
void OemToAnsiBuff(const char* src, char* dst, std::size_t n) { Map(cp::kOemToAnsi, src, dst, n); }

char16_t AnsiCharToUnicode(unsigned char c) { return cp::kAnsiToUnicode[c]; }

unsigned char UnicodeToAnsiChar(char32_t u) {
    if (u < 0x80 || (u >= 0xA0 && u <= 0xFF)) return static_cast<unsigned char>(u);
    for (int b = 0x80; b < 0xA0; ++b)
        if (cp::kAnsiToUnicode[b] == u) return static_cast<unsigned char>(b);
    return '?';
}

}  // namespace gs
