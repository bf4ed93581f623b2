#include "addresses/importtext.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

#include "platform/codepage.h"

namespace gs {

namespace {

constexpr char kCtrlZ = 26;

// The bytes a UTF-8 lead byte needs after it, and the range the first of them
// must fall in (narrower after E0, ED, F0 and F4, which rules out overlong
// forms, surrogates and code points above U+10FFFF). False for a byte that
// cannot lead.
bool Utf8Lead(unsigned char b, int& need, unsigned char& lo, unsigned char& hi) {
    lo = 0x80;
    hi = 0xBF;
    if (b >= 0xC2 && b <= 0xDF) {
        need = 1;
    } else if (b >= 0xE0 && b <= 0xEF) {
        need = 2;
        if (b == 0xE0) lo = 0xA0;
        if (b == 0xED) hi = 0x9F;
    } else if (b >= 0xF0 && b <= 0xF4) {
        need = 3;
        if (b == 0xF0) lo = 0x90;
        if (b == 0xF4) hi = 0x8F;
    } else {
        return false;
    }
    return true;
}

// Checks UTF-8 a block at a time; a sequence may run across blocks. Counts
// the well-formed sequences of two to four bytes and the bad parts (a byte
// that cannot lead, or a sequence cut short), going on after each bad part.
class Utf8Checker {
public:
    void Feed(const char* p, std::size_t n) {
        for (std::size_t i = 0; i < n; ++i) {
            const auto b = static_cast<unsigned char>(p[i]);
            if (need_ > 0) {
                if (b >= lo_ && b <= hi_) {
                    lo_ = 0x80;
                    hi_ = 0xBF;
                    if (--need_ == 0) ++sequences_;
                    continue;
                }
                ++bad_;  // cut short: this byte starts afresh
                need_ = 0;
            }
            if (b < 0x80) continue;
            high_ = true;
            if (!Utf8Lead(b, need_, lo_, hi_)) {
                need_ = 0;
                ++bad_;
            }
        }
    }
    bool Valid() const { return bad_ == 0 && need_ == 0; }
    bool HasHighBytes() const { return high_; }
    std::uint64_t Sequences() const { return sequences_; }
    std::uint64_t BadParts() const { return bad_ + (need_ > 0 ? 1 : 0); }

private:
    bool high_ = false;
    int need_ = 0;
    unsigned char lo_ = 0x80, hi_ = 0xBF;
    std::uint64_t sequences_ = 0, bad_ = 0;
};

// Appends code point cp as UTF-8.
void AppendUtf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

constexpr char32_t kReplacement = 0xFFFD;  // becomes "?" like any character the code page lacks

// Appends n bytes to out without their CR bytes.
void AppendWithoutCr(std::string& out, const char* p, std::size_t n) {
    while (n > 0) {
        const void* cr = std::memchr(p, '\r', n);
        const std::size_t take = cr ? static_cast<std::size_t>(static_cast<const char*>(cr) - p) : n;
        out.append(p, take);
        if (!cr) return;
        p += take + 1;
        n -= take + 1;
    }
}

}  // namespace

struct ImportTextReader::Source {
    virtual ~Source() = default;
    // Up to n bytes from offset; 0 at the end. Throws ImportFileError.
    virtual std::size_t ReadAt(std::uint64_t offset, char* buf, std::size_t n) = 0;
};

namespace {

class FileSource : public ImportTextReader::Source {
public:
    explicit FileSource(const std::string& path) : path_(path) {
        fd_ = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
        if (fd_ < 0) throw ImportFileError("Cannot open file \"" + path + "\". " + std::strerror(errno));
    }
    ~FileSource() override { ::close(fd_); }
    std::size_t ReadAt(std::uint64_t offset, char* buf, std::size_t n) override {
        for (;;) {
            const ssize_t got = ::pread(fd_, buf, n, static_cast<off_t>(offset));
            if (got >= 0) return static_cast<std::size_t>(got);
            if (errno != EINTR)
                throw ImportFileError("Cannot read file \"" + path_ + "\". " + std::strerror(errno));
        }
    }

private:
    std::string path_;
    int fd_ = -1;
};

class MemorySource : public ImportTextReader::Source {
public:
    explicit MemorySource(std::string bytes) : bytes_(std::move(bytes)) {}
    std::size_t ReadAt(std::uint64_t offset, char* buf, std::size_t n) override {
        if (offset >= bytes_.size()) return 0;
        const std::size_t take = std::min<std::uint64_t>(n, bytes_.size() - offset);
        std::memcpy(buf, bytes_.data() + offset, take);
        return take;
    }

private:
    std::string bytes_;
};

}  // namespace

ImportTextReader::ImportTextReader(const std::string& path) : ImportTextReader(std::make_unique<FileSource>(path)) {}

ImportTextReader ImportTextReader::FromBytes(std::string bytes) {
    return ImportTextReader(std::make_unique<MemorySource>(std::move(bytes)));
}

ImportTextReader::ImportTextReader(std::unique_ptr<Source> source) : src_(std::move(source)) { Scan(); }

ImportTextReader::ImportTextReader(ImportTextReader&&) noexcept = default;
ImportTextReader& ImportTextReader::operator=(ImportTextReader&&) noexcept = default;
ImportTextReader::~ImportTextReader() = default;

// First pass: where the text ends, how it is encoded, how many lines it has.
void ImportTextReader::Scan() {
    block_.resize(kReadBlock);
    const std::size_t head = src_->ReadAt(0, block_.data(), 3);
    if (head >= 2 && (std::memcmp(block_.data(), "\xFF\xFE", 2) == 0 || std::memcmp(block_.data(), "\xFE\xFF", 2) == 0) &&
        !(head >= 3 && std::memcmp(block_.data(), "\xEF\xBB\xBF", 3) == 0)) {
        utf16_ = block_[0] == '\xFF' ? Utf16::Little : Utf16::Big;
        bom_ = true;
        ScanUtf16();
        return;
    }
    Utf8Checker checker;
    std::uint64_t offset = 0, lineFeeds = 0;
    char last = '\n';  // the last byte of the text; '\n' while it is empty
    for (;;) {
        const std::size_t got = src_->ReadAt(offset, block_.data(), block_.size());
        if (got == 0) break;
        std::size_t n = got;
        const void* z = std::memchr(block_.data(), kCtrlZ, got);
        if (z) n = static_cast<std::size_t>(static_cast<const char*>(z) - block_.data());
        std::size_t from = 0;
        if (offset == 0 && n >= 3 && std::memcmp(block_.data(), "\xEF\xBB\xBF", 3) == 0) {
            bom_ = true;
            from = 3;
        }
        checker.Feed(block_.data() + from, n - from);
        for (const char* p = block_.data() + from; (p = static_cast<const char*>(
                                                        std::memchr(p, '\n', block_.data() + n - p)));
             ++p)
            ++lineFeeds;
        if (n > from) last = block_[n - 1];
        offset += n;
        if (z) break;
    }
    textEnd_ = offset;
    // Well-formed UTF-8 with characters beyond ASCII is UTF-8; so is a text
    // whose UTF-8 sequences outnumber its bad parts (a UTF-8 file with a
    // stray byte or two, which then become "?" and are reported). Anything
    // else reads as Windows-1252, where such sequences hardly ever occur.
    utf8_ = bom_ || (checker.HasHighBytes() && (checker.Valid() || checker.Sequences() > checker.BadParts()));
    totalLines_ = lineFeeds + (last != '\n' ? 1 : 0);
    offset_ = bom_ ? 3 : 0;
    block_.clear();
    pos_ = 0;
}

// The code unit at p in the file's byte order.
char16_t ImportTextReader::Unit(const char* p) const {
    const auto a = static_cast<unsigned char>(p[0]), b = static_cast<unsigned char>(p[1]);
    return static_cast<char16_t>(utf16_ == Utf16::Little ? a | (b << 8) : (a << 8) | b);
}

// The first pass over UTF-16: line feeds and Ctrl+Z are code units, not bytes.
void ImportTextReader::ScanUtf16() {
    std::uint64_t offset = 2, lineFeeds = 0;
    char16_t last = u'\n';
    for (bool end = false; !end;) {
        const std::size_t got = src_->ReadAt(offset, block_.data(), block_.size());
        if (got == 0) break;
        const std::size_t units = got / 2;
        std::size_t i = 0;
        for (; i < units; ++i) {
            const char16_t u = Unit(block_.data() + 2 * i);
            if (u == kCtrlZ) {
                end = true;
                break;
            }
            if (u == u'\n') ++lineFeeds;
            last = u;
        }
        offset += 2 * i;
        if (!end && got % 2 == 1) {  // a last byte without its partner
            last = static_cast<char16_t>(kReplacement);
            ++offset;
            break;
        }
    }
    textEnd_ = offset;
    totalLines_ = lineFeeds + (last != u'\n' ? 1 : 0);
    offset_ = 2;
    block_.clear();
    pos_ = 0;
}

// Reads the next stretch of UTF-16 and puts it into block_ as UTF-8.
bool ImportTextReader::FillUtf16() {
    block_.clear();
    pos_ = 0;
    std::string raw(static_cast<std::size_t>(std::min<std::uint64_t>(kReadBlock, textEnd_ - offset_)), '\0');
    const std::size_t got = src_->ReadAt(offset_, raw.data(), raw.size());
    if (got == 0) {
        textEnd_ = offset_;  // the file became shorter since the first pass
        if (pendingHigh_) AppendUtf8(block_, kReplacement);
        pendingHigh_ = 0;
        return !block_.empty();
    }
    const std::size_t units = got / 2;
    std::size_t i = 0;
    for (; i < units; ++i) {
        const char16_t u = Unit(raw.data() + 2 * i);
        if (u == kCtrlZ) {  // one that was not there in the first pass still ends the text
            textEnd_ = offset_ + 2 * i;
            break;
        }
        if (pendingHigh_) {
            if (u >= 0xDC00 && u <= 0xDFFF) {
                AppendUtf8(block_, 0x10000 + ((pendingHigh_ - 0xD800) << 10) + (u - 0xDC00));
                pendingHigh_ = 0;
                continue;
            }
            AppendUtf8(block_, kReplacement);  // a high surrogate without its low half
            pendingHigh_ = 0;
        }
        if (u >= 0xD800 && u <= 0xDBFF) pendingHigh_ = u;
        else if (u >= 0xDC00 && u <= 0xDFFF) AppendUtf8(block_, kReplacement);
        else AppendUtf8(block_, u);
    }
    offset_ += 2 * i;
    if (i < units) {
        offset_ = textEnd_;
    } else if (got < raw.size() || got % 2 == 1) {
        // The end of the file (shorter than at the first pass, or with an
        // odd last byte, which has no partner to make a character).
        if (got % 2 == 1) ++offset_;
        textEnd_ = offset_;
    }
    if (offset_ >= textEnd_ && pendingHigh_) {  // a high surrogate at the very end
        AppendUtf8(block_, kReplacement);
        pendingHigh_ = 0;
    }
    if (got % 2 == 1 && i == units) AppendUtf8(block_, kReplacement);
    return !block_.empty() || offset_ < textEnd_;
}

bool ImportTextReader::Fill() {
    if (offset_ >= textEnd_) return false;
    if (utf16_ != Utf16::None) {
        // A stretch may end in the first half of a surrogate pair and so
        // give nothing yet: read on.
        while (FillUtf16())
            if (!block_.empty()) return true;
        return false;
    }
    block_.resize(static_cast<std::size_t>(std::min<std::uint64_t>(kReadBlock, textEnd_ - offset_)));
    const std::size_t got = src_->ReadAt(offset_, block_.data(), block_.size());
    block_.resize(got);
    pos_ = 0;
    if (got == 0) {
        textEnd_ = offset_;  // the file became shorter since the first pass
        return false;
    }
    // A Ctrl+Z that was not there in the first pass still ends the text.
    if (const void* z = std::memchr(block_.data(), kCtrlZ, got)) {
        block_.resize(static_cast<std::size_t>(static_cast<const char*>(z) - block_.data()));
        textEnd_ = offset_ + block_.size();
        offset_ = textEnd_;
        return !block_.empty();
    }
    offset_ += got;
    return true;
}

bool ImportTextReader::ReadLine(std::string& line) {
    line.clear();
    raw_.clear();
    const bool convert = utf8_ || utf16_ != Utf16::None;
    std::string& out = convert ? raw_ : line;
    bool any = false;  // a byte of this line was consumed (CRs included)
    for (;;) {
        if (pos_ == block_.size() && !Fill()) break;
        const char* p = block_.data() + pos_;
        const std::size_t n = block_.size() - pos_;
        const void* lf = std::memchr(p, '\n', n);
        const std::size_t take = lf ? static_cast<std::size_t>(static_cast<const char*>(lf) - p) : n;
        AppendWithoutCr(out, p, take);
        pos_ += take;
        any = any || take > 0;
        if (lf) {
            ++pos_;
            any = true;
            break;
        }
    }
    if (!any) return false;
    ++linesRead_;
    std::size_t lost = 0;
    if (convert && Utf8ToAnsi(raw_, line, &lost)) {
        ++unmappableLines_;
        unmappableCharacters_ += lost;
        if (unmappableLineNumbers_.size() < kListedLines) unmappableLineNumbers_.push_back(linesRead_);
    }
    return true;
}

bool IsValidUtf8(std::string_view bytes) {
    Utf8Checker checker;
    checker.Feed(bytes.data(), bytes.size());
    return checker.Valid();
}

bool Utf8ToAnsi(std::string_view s, std::string& out, std::size_t* lostCount) {
    out.clear();
    out.reserve(s.size());
    std::size_t lostHere = 0;
    std::size_t& lost = lostCount ? *lostCount : lostHere;
    lost = 0;
    std::size_t i = 0;
    while (i < s.size()) {
        const auto b = static_cast<unsigned char>(s[i]);
        if (b < 0x80) {
            out += static_cast<char>(b);
            ++i;
            continue;
        }
        int need = 0;
        unsigned char lo = 0, hi = 0;
        if (!Utf8Lead(b, need, lo, hi)) {
            out += '?';
            ++lost;
            ++i;
            continue;
        }
        char32_t cp = b & (need == 1 ? 0x1F : need == 2 ? 0x0F : 0x07);
        std::size_t j = i + 1;
        int k = 0;
        for (; k < need && j < s.size(); ++k, ++j) {
            const auto c = static_cast<unsigned char>(s[j]);
            if (c < lo || c > hi) break;
            cp = (cp << 6) | (c & 0x3F);
            lo = 0x80;
            hi = 0xBF;
        }
        i = j;
        if (k < need) {  // a broken sequence: one "?" for the part that was there
            out += '?';
            ++lost;
            continue;
        }
        if (cp == 0xFEFF) continue;  // an invisible byte-order mark inside the text (joined files)
        const unsigned char a = UnicodeToAnsiChar(cp);
        out += static_cast<char>(a);
        if (a == '?') ++lost;
    }
    return lost > 0;
}

}  // namespace gs
