#pragma once
// Reading name-and-address text files: the line reader and the field
// splitter that the text import and the batch print command share.
//
//     ImportTextReader reader(path);        // throws ImportFileError
//     std::string line;
//     while (reader.ReadLine(line)) {
//         ImportFields f = SplitImportLine(line);
//         // f[0..3] name lines, f[4] city, f[5] state, f[6] ZIP
//     }
//     reader.UnmappableLines();             // lines that lost characters to "?"
//     reader.UnmappableLineNumbers();       // the first of them, by number
//
// Everything here is the standard library only; texts come out in the
// program's code page (Windows-1252), whatever the file was written in.
#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace gs {

// A text file that cannot be opened or read. what() is the message shown to
// the user after "Error on import: ", e.g.
// "Cannot open file \"/home/ann/list.csv\". No such file or directory".
class ImportFileError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// ---------------------------------------------------------------------------
// Lines
//
// ImportTextReader hands out the lines of a text file one by one:
// - LF or CR LF ends a line; a CR anywhere else is dropped from the line
//   (so every CR byte disappears); the last line needs no line end.
// - A Ctrl+Z byte (26) ends the text: it and everything after it are
//   ignored.
// - Every line end gives a line, so an empty line is a line of its own; bytes
//   after the last line end give one more line. An empty file (or one that
//   starts with Ctrl+Z) has no lines; "a\n" has one, "a\nb" two, "\n" one.
//
// Encoding, decided once when the reader is made, by one pass over the text
// up to its first Ctrl+Z:
// - the text starts with a UTF-16 byte-order mark, FF FE (little-endian,
//   what editors call "Unicode") or FE FF (big-endian): it is read as UTF-16
//   in that byte order. Line ends and Ctrl+Z are the code units 0A, 0D and
//   1A; surrogate pairs make one character; half a pair, and an odd last
//   byte, become "?".
// - the text starts with the UTF-8 byte-order mark EF BB BF, or
// - the text is valid UTF-8 (no overlong forms, no surrogates, nothing above
//   U+10FFFF) and holds at least one byte above 127, or
// - its well-formed UTF-8 sequences outnumber its bytes that are not UTF-8
//   (a UTF-8 file with a stray byte):
//   it is read as UTF-8. The mark is skipped; every byte sequence that is not
//   UTF-8 becomes "?".
//   In both Unicode forms every character is converted to Windows-1252, and a
//   character that code page lacks becomes "?". UnmappableLines() counts the
//   lines in which that happened, UnmappableCharacters() the "?" put in, and
//   UnmappableLineNumbers() lists the first kListedLines of those lines.
// - Anything else is Windows-1252 already and passes byte for byte (NUL and
//   other control bytes included).
//
// Memory: the file is read in blocks of kReadBlock bytes; only the current
// line is held, so a file of any size costs one block plus its longest line.
// A line of many megabytes is read in linear time. The two passes read the
// file twice from disk and never hold it whole.
class ImportTextReader {
public:
    static constexpr std::size_t kReadBlock = 64 * 1024;

    // Opens the file for reading; throws ImportFileError when it cannot be
    // opened or read (the message names the file and the system's reason).
    explicit ImportTextReader(const std::string& path);
    // Reads text held in memory (tests and fuzzing); never throws.
    static ImportTextReader FromBytes(std::string bytes);

    ImportTextReader(ImportTextReader&&) noexcept;
    ImportTextReader& operator=(ImportTextReader&&) noexcept;
    ~ImportTextReader();

    // The next line without its line end, in Windows-1252. False, with line
    // emptied, when no line is left. Throws ImportFileError when the file
    // cannot be read.
    bool ReadLine(std::string& line);

    bool IsUtf8() const { return utf8_; }
    bool IsUtf16() const { return utf16_ != Utf16::None; }
    bool HasByteOrderMark() const { return bom_; }
    // Lines the text holds (known from the first pass) and lines read so far.
    std::uint64_t TotalLines() const { return totalLines_; }
    std::uint64_t LinesRead() const { return linesRead_; }
    // Lines read so far in which a character became "?" (Unicode texts only),
    // the "?" put in, and the numbers (from 1) of the first kListedLines
    // such lines.
    static constexpr std::size_t kListedLines = 10;
    std::uint64_t UnmappableLines() const { return unmappableLines_; }
    std::uint64_t UnmappableCharacters() const { return unmappableCharacters_; }
    const std::vector<std::uint64_t>& UnmappableLineNumbers() const { return unmappableLineNumbers_; }

    // Where the bytes come from: a file or memory (defined with the reader).
    struct Source;

private:
    enum class Utf16 { None, Little, Big };

    explicit ImportTextReader(std::unique_ptr<Source> source);
    void Scan();
    void ScanUtf16();
    bool Fill();
    bool FillUtf16();
    char16_t Unit(const char* p) const;

    std::unique_ptr<Source> src_;
    std::string block_;
    std::string raw_;            // the line as read, before UTF-8 conversion
    std::size_t pos_ = 0;        // next unread byte in block_
    std::uint64_t offset_ = 0;   // file offset of block_'s end
    std::uint64_t textEnd_ = 0;  // offset of the first Ctrl+Z, or the file size
    bool utf8_ = false, bom_ = false;
    Utf16 utf16_ = Utf16::None;
    char16_t pendingHigh_ = 0;   // UTF-16: the first half of a pair, its second still to come
    std::uint64_t totalLines_ = 0, linesRead_ = 0, unmappableLines_ = 0, unmappableCharacters_ = 0;
    std::vector<std::uint64_t> unmappableLineNumbers_;
};

// Converts UTF-8 text to Windows-1252: characters the code page lacks and
// byte sequences that are not UTF-8 (each maximal bad part once) become "?".
// Returns whether anything became "?"; *lostCount, when given, how many.
bool Utf8ToAnsi(std::string_view utf8, std::string& ansi, std::size_t* lostCount = nullptr);
// Whether the bytes are valid UTF-8 (see the encoding rules above).
bool IsValidUtf8(std::string_view bytes);

// ---------------------------------------------------------------------------
// Fields
//
// One line holds an address as seven comma-separated fields: name lines 1 to
// 4, city, state, ZIP code.
inline constexpr int kImportFieldCount = 7;
using ImportFields = std::array<std::string, kImportFieldCount>;

// Removes blanks and control characters (every byte up to and including the
// space) from both ends.
std::string_view TrimImportText(std::string_view text);

// Splits one line into its seven fields:
// 1. The line is trimmed (TrimImportText). A line without any comma gives
//    seven empty fields.
// 2. Fields are taken from the front one by one. A field that starts with a
//    double quote is quoted: its value is the text after that quote up to the
//    first double quote that is directly followed by a comma; that quote and
//    comma are dropped, and a doubled quote ("") inside the value stands for
//    one quote. A quoted value whose closing quote-comma never comes takes
//    the rest of the line. Any other field runs to the next comma.
// 3. After the sixth field a comma is added to what is left, so the seventh
//    field ends at the next comma or at the end of the line; anything after
//    a comma that follows it is ignored (a line of nine fields uses the
//    first seven).
// 4. A line that runs out of commas before the seventh field (fewer than six
//    separating commas) is short: all seven fields are empty.
// Values are not trimmed. A line of any length and any bytes is safe.
ImportFields SplitImportLine(std::string_view line);

}  // namespace gs
