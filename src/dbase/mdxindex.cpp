#include "dbase/mdxindex.h"

#include <algorithm>
#include <bit>
#include <cctype>
#include <cmath>
#include <cstring>

#include "dbase/dbfdate.h"

namespace gs::mdx {

static_assert(std::endian::native == std::endian::little, "index keys are little-endian doubles");

namespace {
void PutU16(std::string& s, std::size_t at, unsigned v) {
    s[at] = static_cast<char>(v & 0xFF);
    s[at + 1] = static_cast<char>((v >> 8) & 0xFF);
}
void PutU32(std::string& s, std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) s[at + i] = static_cast<char>((v >> (8 * i)) & 0xFF);
}
std::uint32_t GetU32(std::string_view s, std::size_t at) {
    auto b = [&](std::size_t i) { return static_cast<std::uint32_t>(static_cast<unsigned char>(s[at + i])); };
    return b(0) | (b(1) << 8) | (b(2) << 16) | (b(3) << 24);
}
unsigned GetU16(std::string_view s, std::size_t at) {
    return static_cast<unsigned char>(s[at]) | (static_cast<unsigned char>(s[at + 1]) << 8);
}
}  // namespace

int ItemLength(int keyLen) { return (keyLen + 3) / 4 * 4 + 4; }
int KeysPerNode(int keyLen) { return (kNodeSize - 12) / ItemLength(keyLen); }

bool EncodeNumericKey(std::string_view text, char out[12]) {
    std::memset(out, 0, 12);
    std::size_t i = 0, n = text.size();
    while (i < n && text[i] == ' ') ++i;
    while (n > i && text[n - 1] == ' ') --n;
    bool neg = false;
    if (i < n && (text[i] == '-' || text[i] == '+')) {
        neg = text[i] == '-';
        ++i;
    }
    std::string intDigits, fracDigits;
    bool dot = false, any = false;
    for (; i < n; ++i) {
        char c = text[i];
        if (c == '.' && !dot) {
            dot = true;
        } else if (c >= '0' && c <= '9') {
            (dot ? fracDigits : intDigits) += c;
            any = true;
        } else {
            return false;
        }
    }
    if (!any && (dot || neg)) return false;
    std::size_t lz = intDigits.find_first_not_of('0');
    intDigits = lz == std::string::npos ? "" : intDigits.substr(lz);
    int exponent;
    std::string digits;
    if (!intDigits.empty()) {
        exponent = static_cast<int>(intDigits.size());
        digits = intDigits + fracDigits;
    } else {
        std::size_t fz = fracDigits.find_first_not_of('0');
        if (fz == std::string::npos) {  // zero
            out[0] = 0x34;
            out[1] = 0x01;
            return true;
        }
        exponent = -static_cast<int>(fz);
        digits = fracDigits.substr(fz);
    }
    while (!digits.empty() && digits.back() == '0') digits.pop_back();
    if (digits.size() > 20) digits.resize(20);
    if (exponent > 0x7F - 0x34 || exponent < -0x34) return false;
    out[0] = static_cast<char>(0x34 + exponent);
    out[1] = static_cast<char>((neg ? 0x80 : 0) | (static_cast<int>(digits.size()) << 2) | 1);
    for (std::size_t d = 0; d < digits.size(); ++d) {
        int v = digits[d] - '0';
        out[2 + d / 2] = static_cast<char>(out[2 + d / 2] | (d % 2 == 0 ? v << 4 : v));
    }
    return true;
}

double DecodeNumericKey(const char key[12]) {
    const unsigned char* k = reinterpret_cast<const unsigned char*>(key);
    int count = (k[1] >> 2) & 0x1F;
    if (count > 20) count = 20;
    double mant = 0;
    for (int d = 0; d < count; ++d) {
        int v = d % 2 == 0 ? k[2 + d / 2] >> 4 : k[2 + d / 2] & 0x0F;
        mant = mant * 10 + v;
    }
    if (mant == 0) return 0;
    double value = mant * std::pow(10.0, static_cast<int>(k[0]) - 0x34 - count);
    return (k[1] & 0x80) ? -value : value;
}

void EncodeDateKey(double jd, char out[8]) {
    auto bits = std::bit_cast<std::uint64_t>(jd);
    for (int i = 0; i < 8; ++i) out[i] = static_cast<char>((bits >> (8 * i)) & 0xFF);
}

double DecodeDateKey(const char key[8]) {
    std::uint64_t bits = 0;
    for (int i = 0; i < 8; ++i) bits |= static_cast<std::uint64_t>(static_cast<unsigned char>(key[i])) << (8 * i);
    return std::bit_cast<double>(bits);
}

bool KeyOrder::Less(std::uint32_t a, std::uint32_t b) const {
    if (type == 'C') {
        int c = std::memcmp(Key(a), Key(b), static_cast<std::size_t>(keyLen));
        if (c != 0) return c < 0;
    } else {
        double x = values[a - 1], y = values[b - 1];
        if (x < y) return true;
        if (y < x) return false;
    }
    return a < b;
}

void KeyOrder::Sort() {
    std::sort(order.begin(), order.end(), [this](std::uint32_t a, std::uint32_t b) { return Less(a, b); });
}

void KeyOrder::Place(std::uint32_t rec, const char* key, double value) {
    const std::size_t klen = static_cast<std::size_t>(keyLen);
    if (rec > order.size()) {  // a new record
        keys.resize(std::size_t(rec) * klen, '\0');
        values.resize(rec, 0.0);
    } else {
        auto cmp = [this](std::uint32_t a, std::uint32_t b) { return Less(a, b); };
        auto it = std::lower_bound(order.begin(), order.end(), rec, cmp);
        if (it != order.end() && *it == rec) {
            order.erase(it);
        } else {
            auto lin = std::find(order.begin(), order.end(), rec);
            if (lin != order.end()) order.erase(lin);
        }
    }
    std::memcpy(keys.data() + std::size_t(rec - 1) * klen, key, klen);
    values[rec - 1] = value;
    auto cmp = [this](std::uint32_t a, std::uint32_t b) { return Less(a, b); };
    order.insert(std::upper_bound(order.begin(), order.end(), rec, cmp), rec);
}

std::string BuildFile(const KeyOrder& k, const std::string& tableName, const std::string& tagName) {
    const int item = ItemLength(k.keyLen);
    const int perNode = KeysPerNode(k.keyLen);
    const std::size_t n = k.order.size();
    const std::size_t leaves = n == 0 ? 1 : (n + perNode - 1) / perNode;

    // Count the nodes of every level to lay the file out in one buffer.
    std::vector<std::size_t> levelNodes {leaves};
    while (levelNodes.back() > 1)
        levelNodes.push_back((levelNodes.back() + perNode) / (perNode + 1));  // ceil(c / (perNode + 1))
    std::size_t totalNodes = 0;
    for (std::size_t c : levelNodes) totalNodes += c;

    const std::uint32_t firstNodePage = 6;  // pages 0..3 header, 4..5 tag header
    std::string f((4 + 2 + totalNodes * 2) * std::size_t(kPageSize), '\0');

    DbfDate today = TodayDate();
    auto putDate = [&](std::size_t at) {
        f[at] = static_cast<char>(today.year - 1900);
        f[at + 1] = static_cast<char>(today.month);
        f[at + 2] = static_cast<char>(today.day);
    };
    f[0] = 2;
    putDate(1);
    for (std::size_t i = 0; i < 15 && i < tableName.size(); ++i) f[4 + i] = tableName[i];
    PutU16(f, 20, 2);
    PutU16(f, 22, kNodeSize);
    f[24] = 1;
    f[25] = 48;
    f[26] = 32;
    f[28] = 1;
    putDate(44);

    // Tag slot 1.
    const std::size_t slot = 544;
    PutU32(f, slot, 4);
    for (std::size_t i = 0; i < 10 && i < tagName.size(); ++i)
        f[slot + 4 + i] = static_cast<char>(std::toupper(static_cast<unsigned char>(tagName[i])));
    f[slot + 15] = 0x10;
    f[slot + 19] = 2;
    f[slot + 20] = k.type;

    // Leaves.
    std::uint32_t page = firstNodePage;
    struct Child {
        std::uint32_t page;
        std::uint32_t lastRec;  // gives the highest key below the child
    };
    std::vector<Child> level;
    level.reserve(leaves);
    for (std::size_t l = 0; l < leaves; ++l, page += 2) {
        std::size_t from = l * perNode, to = std::min(n, from + perNode);
        std::size_t base = std::size_t(page) * kPageSize;
        PutU32(f, base, static_cast<std::uint32_t>(to - from));
        for (std::size_t e = from; e < to; ++e) {
            std::size_t at = base + 8 + (e - from) * item;
            std::uint32_t rec = k.order[e];
            PutU32(f, at, rec);
            std::memcpy(&f[at + 4], k.Key(rec), static_cast<std::size_t>(k.keyLen));
        }
        level.push_back({page, to > from ? k.order[to - 1] : 0});
    }
    // Inner levels: up to perNode entries and a trailing child each.
    while (level.size() > 1) {
        std::size_t groups = (level.size() + perNode) / (perNode + 1);
        std::vector<Child> next;
        next.reserve(groups);
        std::size_t pos = 0;
        for (std::size_t g = 0; g < groups; ++g, page += 2) {
            // Spread children evenly so no node gets a single child.
            std::size_t remaining = level.size() - pos;
            std::size_t take = (remaining + (groups - g) - 1) / (groups - g);
            std::size_t base = std::size_t(page) * kPageSize;
            PutU32(f, base, static_cast<std::uint32_t>(take - 1));
            for (std::size_t c = 0; c + 1 < take; ++c) {
                std::size_t at = base + 8 + c * item;
                const Child& ch = level[pos + c];
                PutU32(f, at, ch.page);
                if (ch.lastRec) std::memcpy(&f[at + 4], k.Key(ch.lastRec), static_cast<std::size_t>(k.keyLen));
            }
            PutU32(f, base + 8 + (take - 1) * item, level[pos + take - 1].page);
            next.push_back({page, level[pos + take - 1].lastRec});
            pos += take;
        }
        level.swap(next);
    }
    const std::uint32_t root = level.front().page;
    PutU32(f, 32, root + 2);

    // Tag header at page 4.
    const std::size_t th = 4 * kPageSize;
    PutU32(f, th, root);
    f[th + 8] = 0x10;
    f[th + 9] = k.type;
    PutU16(f, th + 12, static_cast<unsigned>(k.keyLen));
    PutU16(f, th + 14, static_cast<unsigned>(perNode));
    PutU16(f, th + 16, k.type == 'D' ? 1 : 0);
    PutU16(f, th + 18, static_cast<unsigned>(item));
    for (std::size_t i = 0; i < k.expression.size() && i < kMaxExpressionLength; ++i)
        f[th + 24 + i] = k.expression[i];
    return f;
}

namespace {
struct Walker {
    std::string_view file;
    std::size_t nodeBytes;
    int item;
    int keyLen;
    std::size_t maxEntries;
    std::vector<bool> visited;
    TagContents* out;
    std::string why;

    bool NodeOk(std::uint32_t page) {
        std::uint64_t off = std::uint64_t(page) * kPageSize;
        if (page < 4 || off + nodeBytes > file.size()) {
            why = "node page " + std::to_string(page) + " outside the file";
            return false;
        }
        if (visited[page]) {
            why = "node page " + std::to_string(page) + " reached twice";
            return false;
        }
        visited[page] = true;
        return true;
    }

    bool Walk(std::uint32_t page, int depth) {
        if (depth > 32) {
            why = "tree too deep";
            return false;
        }
        if (!NodeOk(page)) return false;
        std::size_t base = std::size_t(page) * kPageSize;
        std::uint32_t count = GetU32(file, base);
        if (count > maxEntries) {
            why = "node page " + std::to_string(page) + " holds too many entries";
            return false;
        }
        std::size_t after = base + 8 + std::size_t(count) * item;
        std::uint32_t trailing = after + 4 <= base + nodeBytes ? GetU32(file, after) : 0;
        if (trailing == 0) {  // leaf
            for (std::uint32_t e = 0; e < count; ++e) {
                std::size_t at = base + 8 + std::size_t(e) * item;
                out->records.push_back(GetU32(file, at));
                out->keys.insert(out->keys.end(), file.data() + at + 4, file.data() + at + 4 + keyLen);
            }
            return true;
        }
        for (std::uint32_t e = 0; e < count; ++e) {
            std::uint32_t child = GetU32(file, base + 8 + std::size_t(e) * item);
            if (!Walk(child, depth + 1)) return false;
        }
        return Walk(trailing, depth + 1);
    }
};
}  // namespace

bool ReadTag(std::string_view file, const std::string& tagName, TagContents& out, std::string& why) {
    out = TagContents {};
    if (file.size() < 2048) {
        why = "file shorter than its header";
        return false;
    }
    unsigned pagesPerNode = GetU16(file, 20);
    unsigned nodeBytes = GetU16(file, 22);
    if (pagesPerNode == 0 || pagesPerNode > 64 || nodeBytes != pagesPerNode * kPageSize) {
        why = "invalid node size";
        return false;
    }
    unsigned slots = static_cast<unsigned char>(file[25]);
    unsigned slotLen = static_cast<unsigned char>(file[26]);
    if (slotLen != 32 || slots == 0 || slots > 48) {
        why = "invalid tag table";
        return false;
    }
    std::string wanted;
    for (char c : tagName) wanted += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    std::uint32_t headerPage = 0;
    for (unsigned s = 0; s < slots && headerPage == 0; ++s) {
        std::size_t at = 544 + std::size_t(s) * 32;
        if (at + 32 > 2048) break;
        std::uint32_t p = GetU32(file, at);
        if (p == 0) continue;
        std::string name;
        for (std::size_t i = 4; i < 15 && file[at + i] != '\0'; ++i) name += file[at + i];
        std::string upper;
        for (char c : name) upper += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        if (wanted.empty() || upper == wanted) {
            headerPage = p;
            out.tagName = name;
        }
    }
    if (headerPage == 0) {
        why = "tag not found";
        return false;
    }
    std::uint64_t th = std::uint64_t(headerPage) * kPageSize;
    if (headerPage < 4 || th + 512 > file.size()) {
        why = "tag header outside the file";
        return false;
    }
    std::uint32_t root = GetU32(file, th);
    out.type = file[th + 9];
    out.keyLen = static_cast<int>(GetU16(file, th + 12));
    unsigned maxKeys = GetU16(file, th + 14);
    int item = static_cast<int>(GetU16(file, th + 18));
    if (out.type != 'C' && out.type != 'D' && out.type != 'N') {
        why = "unknown key type";
        return false;
    }
    if (out.keyLen < 1 || out.keyLen > kMaxKeyLength || (out.type == 'D' && out.keyLen != 8) ||
        (out.type == 'N' && out.keyLen != 12) || item < out.keyLen + 4 ||
        std::size_t(item) + 8 > nodeBytes || maxKeys == 0) {
        why = "invalid key layout";
        return false;
    }
    std::size_t end = th + 24;
    while (end < th + 24 + kMaxExpressionLength && end < file.size() && file[end] != '\0') ++end;
    out.expression.assign(file.data() + th + 24, end - (th + 24));

    Walker w {file, nodeBytes, item, out.keyLen, std::min<std::size_t>(maxKeys, (nodeBytes - 8) / item), {}, &out, {}};
    w.visited.assign(file.size() / kPageSize + 1, false);
    w.visited[headerPage] = true;
    if (!w.Walk(root, 0)) {
        why = w.why;
        return false;
    }
    return true;
}

}  // namespace gs::mdx
