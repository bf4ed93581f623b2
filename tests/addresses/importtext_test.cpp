#include "addresses/importtext.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <vector>

#include "fuzz/exercise.h"

namespace gs {
namespace {

using namespace std::string_literals;

// ---------------------------------------------------------------- splitting

struct SplitCase {
    const char* name;
    std::string line;
    ImportFields fields;
};

const ImportFields kBlank{};

const SplitCase kSplitCases[] = {
    {"SevenQuoted", R"("John Smith","12 Main St","","","Springfield","IL","62701")",
     {"John Smith", "12 Main St", "", "", "Springfield", "IL", "62701"}},
    {"SevenUnquotedGiveTheSame", "John Smith,12 Main St,,,Springfield,IL,62701",
     {"John Smith", "12 Main St", "", "", "Springfield", "IL", "62701"}},
    {"QuotedValueKeepsItsComma", R"("Smith, John","1 Elm St",,,"Dover","DE","19901")",
     {"Smith, John", "1 Elm St", "", "", "Dover", "DE", "19901"}},
    {"QuotedAndUnquotedMixed", R"(a,"b,c",d,e,f,g,h)", {"a", "b,c", "d", "e", "f", "g", "h"}},
    {"NineFieldsUseTheFirstSeven", "a,b,c,d,e,f,g,h,i", {"a", "b", "c", "d", "e", "f", "g"}},
    {"SeventhFollowedByAComma", R"("a","b","c","d","e","f","g",)", {"a", "b", "c", "d", "e", "f", "g"}},
    {"EmptySeventhField", "a,b,c,d,e,f,", {"a", "b", "c", "d", "e", "f", ""}},
    {"SixFieldsAreShort", "a,b,c,d,e,f", kBlank},
    {"SixQuotedFieldsAreShort", R"("a","b","c","d","e","f")", kBlank},
    {"EmptyLine", "", kBlank},
    {"BlanksOnly", " \t \x01", kBlank},
    {"NoComma", "John Smith", kBlank},
    {"EndsTrimmedInsideKept", " \t\"a\",b , c,d,e,f,g\r  ", {"a", "b ", " c", "d", "e", "f", "g"}},
    {"QuoteInsideAnUnquotedField", R"(a,b "c",d,e,f,g,h)", {"a", R"(b "c")", "d", "e", "f", "g", "h"}},
    {"QuoteAfterABlankIsNotAQuotedField", R"(a, "b",c,d,e,f,g)", {"a", R"( "b")", "c", "d", "e", "f", "g"}},
    {"DoubledQuoteIsOneQuote", R"("say ""hi""",b,c,d,e,f,g)", {R"(say "hi")", "b", "c", "d", "e", "f", "g"}},
    {"LoneQuoteInsideQuotedValue", R"("5" Main",b,c,d,e,f,g)", {R"(5" Main)", "b", "c", "d", "e", "f", "g"}},
    {"ValueEndsAtTheFirstQuoteComma", R"("a",b",c,d,e,f,g,h)", {"a", R"(b")", "c", "d", "e", "f", "g"}},
    {"UnterminatedQuoteEarlyIsShort", R"("abc,def,g,h,i,j,k)", kBlank},
    {"UnterminatedQuotedZipTakesTheRest", R"(a,b,c,d,e,f,"12345)", {"a", "b", "c", "d", "e", "f", "12345"}},
    {"EmptyQuotedZip", R"(a,b,c,d,e,f,"")", {"a", "b", "c", "d", "e", "f", ""}},
    {"ClosingQuoteNotFollowedByCommaIsShort", R"("a"b,c,d,e,f,g,h)", kBlank},
    {"NulBytesAreKept", "a\0b,c,d,e,f,g,h"s, {"a\0b"s, "c", "d", "e", "f", "g", "h"}},
    {"HighBytesAreKept", "Jos\xE9,M\xFCller,,,K\xF6ln,,50667", {"Jos\xE9", "M\xFCller", "", "", "K\xF6ln", "", "50667"}},
};

class SplitImportLineTest : public testing::TestWithParam<SplitCase> {};

TEST_P(SplitImportLineTest, GivesTheSevenFields) {
    EXPECT_EQ(SplitImportLine(GetParam().line), GetParam().fields) << GetParam().line;
}

INSTANTIATE_TEST_SUITE_P(Lines, SplitImportLineTest, testing::ValuesIn(kSplitCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(SplitImportLine, LongLineSplitsWithoutLoss) {
    const std::string name(3 * 1024 * 1024, 'n');
    const ImportFields f = SplitImportLine("\"" + name + "\",,,,Dover,DE,19901");
    EXPECT_EQ(f[0], name);
    EXPECT_EQ(f[4], "Dover");
    EXPECT_EQ(f[6], "19901");
}

// ------------------------------------------------------------------ reading

struct ReadCase {
    const char* name;
    std::string bytes;
    std::vector<std::string> lines;
    bool utf8 = false;
    std::uint64_t unmappable = 0;
};

const ReadCase kReadCases[] = {
    {"EmptyFileHasNoLines", "", {}},
    {"LastLineNeedsNoEnd", "a\nb", {"a", "b"}},
    {"FinalLineFeedEndsTheLastLine", "a\n", {"a"}},
    {"CrLfEndsALine", "a\r\nb\r\n", {"a", "b"}},
    {"EmptyLinesCount", "\n\r\n\n", {"", "", ""}},
    {"LoneCrIsDropped", "a\rb\nc\r", {"ab", "c"}},
    {"LineOfOnlyACr", "\r", {""}},
    {"CtrlZEndsTheText", "a\nb\x1a" "c\nd\n", {"a", "b"}},
    {"CtrlZAfterALineEnd", "a\n\x1a\nb", {"a"}},
    {"CtrlZFirst", "\x1a" "abc\n", {}},
    {"NulBytesPass", "a\0b\n"s, {"a\0b"s}},
    {"Windows1252PassesAsIs", "Jos\xE9 M\xFCller\n\x80 5\n", {"Jos\xE9 M\xFCller", "\x80 5"}},
    {"AsciiIsNotUtf8", "plain,text\n", {"plain,text"}},
    {"ByteOrderMarkMeansUtf8", "\xEF\xBB\xBF" "Caf\xC3\xA9\r\n", {"Caf\xE9"}, true},
    {"ByteOrderMarkAlone", "\xEF\xBB\xBF", {}, true},
    {"ValidUtf8WithoutMark", "Jos\xC3\xA9,M\xC3\xBCller\n\xE2\x82\xAC" "5\n", {"Jos\xE9,M\xFCller", "\x80" "5"}, true},
    {"CharactersWithoutACodePointBecomeQuestionMarks",
     "\xC5\x81\xC3\xB3" "d\xC5\xBA\nok\n\xE4\xB8\xAD\xE6\x96\x87\n", {"?\xF3" "d?", "ok", "??"}, true, 2},
    {"UnchangedQuestionMarkIsNotCounted", "Who?\n\xC3\xA9\n", {"Who?", "\xE9"}, true, 0},
    {"Utf8ThenA1252ByteIsRead1252", "Caf\xC3\xA9\nJos\xE9\n", {"Caf\xC3\xA9", "Jos\xE9"}},
    {"OverlongFormIsNotUtf8", "a\xC0\xAF\n", {"a\xC0\xAF"}},
    {"SurrogateIsNotUtf8", "\xED\xA0\x80\n", {"\xED\xA0\x80"}},
    {"SequenceCutByCtrlZIsNotUtf8", "Caf\xC3\x1a\xA9", {"Caf\xC3"}},
    {"BadBytesAfterAMarkBecomeQuestionMarks", "\xEF\xBB\xBF" "a\xFF" "b\n\xC3(\n", {"a?b", "?("}, true, 2},
    {"MarkInsideTheTextIsDropped", "\xEF\xBB\xBF" "a\n\xEF\xBB\xBF" "b\n", {"a", "b"}, true},
    // A UTF-8 file with a stray byte reads as UTF-8; the byte becomes "?".
    {"MostlyUtf8WithAStrayByte", "Caf\xC3\xA9\nNa\xC3\xAFve\nJos\xE9\n", {"Caf\xE9", "Na\xEFve", "Jos?"}, true, 1},
};

std::vector<std::string> ReadAll(ImportTextReader& r) {
    std::vector<std::string> out;
    std::string line;
    while (r.ReadLine(line)) out.push_back(line);
    EXPECT_TRUE(line.empty());
    EXPECT_FALSE(r.ReadLine(line));
    return out;
}

class ImportTextReaderTest : public testing::TestWithParam<ReadCase> {};

TEST_P(ImportTextReaderTest, GivesTheLinesInTheProgramsCodePage) {
    const ReadCase& c = GetParam();
    ImportTextReader r = ImportTextReader::FromBytes(c.bytes);
    EXPECT_EQ(r.IsUtf8(), c.utf8);
    EXPECT_EQ(r.TotalLines(), c.lines.size());
    EXPECT_EQ(ReadAll(r), c.lines);
    EXPECT_EQ(r.LinesRead(), c.lines.size());
    EXPECT_EQ(r.UnmappableLines(), c.unmappable);
}

INSTANTIATE_TEST_SUITE_P(Texts, ImportTextReaderTest, testing::ValuesIn(kReadCases),
                         [](const auto& info) { return std::string(info.param.name); });

// UTF-16 as editors save "Unicode" text: a byte-order mark, then code
// units in either byte order.
std::string Utf16(std::u16string_view text, bool little) {
    std::string out = little ? "\xFF\xFE" : "\xFE\xFF";
    for (char16_t u : text) {
        const char lo = static_cast<char>(u & 0xFF), hi = static_cast<char>(u >> 8);
        out += little ? lo : hi;
        out += little ? hi : lo;
    }
    return out;
}

TEST(ImportTextUtf16, BothByteOrdersReadAsTheirCharacters) {
    for (const bool little : {true, false}) {
        SCOPED_TRACE(little ? "little-endian" : "big-endian");
        // U+011A holds a 1A byte and U+010A a 0A byte: neither ends anything.
        const std::u16string text = u"\"Jos\u00e9 M\u00fcller\",,,,Dover,DE,19901\r\n"
                                    u"\u011a\u010a\u20ac,,,,a,b,c\r\n"
                                    u"\U0001F600 \xD800x\n"
                                    u"last\x001a" u"after\n";
        ImportTextReader r = ImportTextReader::FromBytes(Utf16(text, little));
        EXPECT_TRUE(r.IsUtf16());
        EXPECT_FALSE(r.IsUtf8());
        EXPECT_EQ(r.TotalLines(), 4u);
        EXPECT_EQ(ReadAll(r), (std::vector<std::string>{"\"Jos\xE9 M\xFCller\",,,,Dover,DE,19901", "??\x80,,,,a,b,c",
                                                        "? ?x", "last"}));
        EXPECT_EQ(r.UnmappableLines(), 2u);
        EXPECT_EQ(r.UnmappableCharacters(), 4u);
        EXPECT_EQ(r.UnmappableLineNumbers(), (std::vector<std::uint64_t>{2, 3}));
    }
    // An odd last byte and half a pair at the end become "?".
    ImportTextReader odd = ImportTextReader::FromBytes(Utf16(u"ab\xD801", true) + "c");
    EXPECT_EQ(ReadAll(odd), (std::vector<std::string>{"ab??"}));
    EXPECT_EQ(ImportTextReader::FromBytes("\xFF\xFE").TotalLines(), 0u);
}

class ImportTextFileTest : public testing::Test {
protected:
    void SetUp() override {
        dir_ = std::filesystem::temp_directory_path() /
               ("gs_importtext_" + std::to_string(::getpid()) + "_" +
                testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::create_directories(dir_);
    }
    void TearDown() override { std::filesystem::remove_all(dir_); }
    std::string Write(const std::string& name, const std::string& bytes) {
        const std::string path = (dir_ / name).string();
        std::ofstream(path, std::ios::binary) << bytes;
        return path;
    }
    std::filesystem::path dir_;
};

TEST_F(ImportTextFileTest, MissingFileNamesTheFileAndTheReason) {
    const std::string path = (dir_ / "none.csv").string();
    try {
        ImportTextReader r(path);
        FAIL() << "no error";
    } catch (const ImportFileError& e) {
        EXPECT_EQ(std::string(e.what()), "Cannot open file \"" + path + "\". No such file or directory");
    }
}

TEST_F(ImportTextFileTest, FolderCannotBeRead) {
    EXPECT_THROW(ImportTextReader r(dir_.string()), ImportFileError);
}

// Line ends, CR LF pairs and UTF-8 sequences that fall across the reader's
// block boundaries read the same as from memory.
TEST_F(ImportTextFileTest, BlockBoundariesDoNotSplitLinesOrCharacters) {
    std::string text = "\xEF\xBB\xBF" + std::string(ImportTextReader::kReadBlock + 100, 'w') + "\n";
    for (std::size_t len = 1; text.size() < 4 * ImportTextReader::kReadBlock; len = (len * 31 + 7) % 3001 + 1) {
        text += std::string(len, 'x') + "\xC3\xA9";  // é
        text += (len % 3 == 0) ? "\r\n" : (len % 3 == 1) ? "\n" : "\r";
    }
    ImportTextReader fromFile(Write("blocks.txt", text));
    ImportTextReader fromMemory = ImportTextReader::FromBytes(text);
    const auto lines = ReadAll(fromFile);
    EXPECT_EQ(lines, ReadAll(fromMemory));
    EXPECT_EQ(lines.size(), fromFile.TotalLines());
    ASSERT_GT(lines.size(), 50u);
    for (const auto& l : lines) EXPECT_EQ(l.find_first_of("\r\n\xC3"), std::string::npos);
}

// UTF-16 from a file: pairs and line ends across the block boundaries.
TEST_F(ImportTextFileTest, Utf16BlockBoundariesDoNotSplitLinesOrCharacters) {
    for (const bool little : {true, false}) {
        std::u16string text = std::u16string(ImportTextReader::kReadBlock / 2 - 1, u'w') + u"\U0001F600\n";
        for (std::size_t len = 1; text.size() < 2 * ImportTextReader::kReadBlock; len = (len * 31 + 7) % 3001 + 1)
            text += std::u16string(len, u'x') + u"\u00e9" + (len % 2 ? u"\r\n" : u"\n");
        const std::string bytes = Utf16(text, little);
        ImportTextReader fromFile(Write(little ? "le.txt" : "be.txt", bytes));
        ImportTextReader fromMemory = ImportTextReader::FromBytes(bytes);
        const auto lines = ReadAll(fromFile);
        EXPECT_EQ(lines, ReadAll(fromMemory));
        EXPECT_EQ(lines.size(), fromFile.TotalLines());
        ASSERT_GT(lines.size(), 50u);
        EXPECT_EQ(lines[0], std::string(ImportTextReader::kReadBlock / 2 - 1, 'w') + "?");  // the pair spans two blocks
        for (std::size_t i = 1; i < lines.size(); ++i) EXPECT_EQ(lines[i].back(), '\xE9') << i;
        EXPECT_EQ(fromFile.UnmappableLines(), 1u);
    }
}

TEST_F(ImportTextFileTest, LineOfMegabytesWithoutAnEnd) {
    const std::string big(5 * 1024 * 1024, 'y');
    ImportTextReader r(Write("big.txt", "first\n" + big));
    EXPECT_EQ(ReadAll(r), (std::vector<std::string>{"first", big}));
}

// Inputs the fuzzer found interesting, replayed on every run.
TEST(ImportTextCorpus, EverySavedInputHoldsTheChecks) {
    int replayed = 0;
    for (const auto& entry : std::filesystem::directory_iterator(GREENSLIP_ADDRESSES_CORPUS)) {
        std::ifstream in(entry.path(), std::ios::binary);
        const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        EXPECT_EQ(fuzz::ExerciseImportText(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()), "")
            << entry.path();
        ++replayed;
    }
    EXPECT_GT(replayed, 0);
}

}  // namespace
}  // namespace gs
