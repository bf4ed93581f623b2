#include "platform/codepage.h"

#include <cstdint>
#include <cstring>

#include "platform/codepage_tables.h"

namespace gs {

namespace {
// Both code pages agree with ASCII below 80 hex, and most text is ASCII:
// eight such bytes are copied at once. src and dst may be the same buffer.
void Map(const unsigned char* table, const char* src, char* dst, std::size_t n) {
    std::size_t i = 0;
    // A whole record is mostly ASCII: 32 bytes at a time while they are.
    for (; i + 32 <= n; i += 32) {
        std::uint64_t w[4];
        std::memcpy(w, src + i, 32);
        if (((w[0] | w[1] | w[2] | w[3]) & 0x8080808080808080ull) != 0) break;
        std::memcpy(dst + i, w, 32);
    }
    for (; i + 8 <= n; i += 8) {
        std::uint64_t w;
        std::memcpy(&w, src + i, 8);
        if ((w & 0x8080808080808080ull) == 0) {
            std::memcpy(dst + i, &w, 8);
            continue;
        }
        for (std::size_t k = i; k < i + 8; ++k)
            dst[k] = static_cast<char>(table[static_cast<unsigned char>(src[k])]);
    }
    for (; i < n; ++i) dst[i] = static_cast<char>(table[static_cast<unsigned char>(src[i])]);
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
