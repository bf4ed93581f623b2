#pragma once
// Single-tag dBase IV multiple-index (.MDX) files: the key forms, the
// in-memory order of a table's records by key, writing the file bottom-up
// and reading a tag back from a file's bytes.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace gs::mdx {

inline constexpr int kPageSize = 512;
inline constexpr int kNodeSize = 1024;
inline constexpr int kMaxKeyLength = 100;
inline constexpr int kMaxExpressionLength = 220;
inline constexpr double kBlankDateKey = 1.0e100;

int ItemLength(int keyLen);      // key length rounded up to 4, plus 4
int KeysPerNode(int keyLen);     // 1012 div item length

// 12-byte numeric key of a number text ("123.45", "-7"); false for garbage.
// A blank text is zero.
bool EncodeNumericKey(std::string_view text, char out[12]);
double DecodeNumericKey(const char key[12]);
void EncodeDateKey(double julianDay, char out[8]);
double DecodeDateKey(const char key[8]);

// The records of a table in key order. Keys are kept by record number so an
// append or change can re-place one record.
struct KeyOrder {
    char type = 'C';  // 'C', 'D' or 'N'
    int keyLen = 0;
    std::string expression;
    std::vector<char> keys;        // keyLen bytes for record r at (r - 1) * keyLen
    std::vector<double> values;    // D and N: the numeric value, by record
    std::vector<std::uint32_t> order;  // record numbers in key order

    std::uint32_t RecordCount() const { return static_cast<std::uint32_t>(order.size()); }
    const char* Key(std::uint32_t rec) const { return keys.data() + std::size_t(rec - 1) * keyLen; }
    // Key order; equal keys in record-number order.
    bool Less(std::uint32_t a, std::uint32_t b) const;
    // Sorts order from scratch (order must hold every record once).
    void Sort();
    // Sets the key of record rec (rec may be one past the last: an append)
    // and moves it to its place in the order.
    void Place(std::uint32_t rec, const char* key, double value);
};

// The bytes of a one-tag MDX file for the order ("DUMMY_TAG").
std::string BuildFile(const KeyOrder& k, const std::string& tableName, const std::string& tagName);

struct TagContents {
    std::string tagName;
    char type = 'C';
    int keyLen = 0;
    std::string expression;
    std::vector<std::uint32_t> records;  // in key order
    std::vector<char> keys;              // keyLen bytes per entry, same order
};

// Reads the named tag (any tag when the name is empty) from a file's bytes,
// walking its tree. False with a reason for anything that does not hold
// together (pages outside the file, counts too large, loops).
bool ReadTag(std::string_view file, const std::string& tagName, TagContents& out, std::string& why);

}  // namespace gs::mdx
