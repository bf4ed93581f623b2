#include "platform/codepage.h"

#include <gtest/gtest.h>

namespace gs {
namespace {

TEST(CodePage, AnsiOemRoundTripsSharedCharacters) {
    // é ü Ä ñ £ ° ½ in Windows-1252 and their code page 437 bytes.
    const std::string ansi = "Caf\xE9 M\xFCller \xC4 \xF1 \xA3 \xB0 \xBD";
    const std::string oem = "Caf\x82 M\x81ller \x8E \xA4 \x9C \xF8 \xAB";
    EXPECT_EQ(AnsiToOem(ansi), oem);
    EXPECT_EQ(OemToAnsi(oem), ansi);
}

TEST(CodePage, MissingCharactersLoseTheirAccentOrBecomeQuestionMarks) {
    EXPECT_EQ(AnsiToOem("\xC0\xC3\xD5"), "AAO");   // À Ã Õ are not in 437
    EXPECT_EQ(AnsiToOem("\x80"), "?");             // euro sign
    EXPECT_EQ(OemToAnsi("\xC9\xB0"), "??");        // box drawing, shading
    EXPECT_EQ(AnsiToOem(std::string("a\0b", 3)), std::string("a\0b", 3));
}

TEST(CodePage, BufferFormsConvertInPlace) {
    char buf[] = "\xE9t\xE9";
    AnsiToOemBuff(buf, buf, 3);
    EXPECT_EQ(std::string(buf, 3), "\x82t\x82");
    OemToAnsiBuff(buf, buf, 3);
    EXPECT_EQ(std::string(buf, 3), "\xE9t\xE9");

    // Long buffers go 32 or eight bytes at a time where they are ASCII:
    // every byte value, in runs that start at every offset, after ASCII
    // leads of every length around those steps, converts as it does alone.
    std::string all;
    for (int run = 0; run < 9; ++run) {
        all += std::string(static_cast<std::size_t>(run), 'a');
        for (int b = 0; b < 256; ++b) all += static_cast<char>(b);
    }
    for (std::size_t lead : {0, 31, 32, 33, 67, 96}) {
        const std::string text = std::string(lead, 'x') + all;
        std::string oem = text, back;
        AnsiToOemBuff(oem.data(), oem.data(), oem.size());
        for (std::size_t i = 0; i < text.size(); ++i) ASSERT_EQ(oem[i], AnsiToOem(text.substr(i, 1))[0]) << i;
        back = oem;
        OemToAnsiBuff(back.data(), back.data(), back.size());
        for (std::size_t i = 0; i < oem.size(); ++i) ASSERT_EQ(back[i], OemToAnsi(oem.substr(i, 1))[0]) << i;
    }
}

TEST(CodePage, UnicodeBridge) {
    EXPECT_EQ(AnsiCharToUnicode(0x80), u'\u20AC');
    EXPECT_EQ(AnsiCharToUnicode(0xE9), u'\u00E9');
    EXPECT_EQ(UnicodeToAnsiChar(U'\u20AC'), 0x80);
    EXPECT_EQ(UnicodeToAnsiChar(U'\u4E2D'), '?');
    for (int b = 0; b < 256; ++b) EXPECT_EQ(UnicodeToAnsiChar(AnsiCharToUnicode(b)), b);
}

}  // namespace
}  // namespace gs
