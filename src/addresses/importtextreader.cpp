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

// Checks UTF-8 a block at a time; a sequence may run across blocks.
class Utf8Checker {
public:
    void Feed(const char* p, std::size_t n) {
        for (std::size_t i = 0; i < n && valid_; ++i) {
            const auto b = static_cast<unsigned char>(p[i]);
            if (need_ == 0) {
                if (b < 0x80) continue;
                high_ = true;
                if (!Utf8Lead(b, need_, lo_, hi_)) valid_ = false;
            } else if (b < lo_ || b > hi_) {
                valid_ = false;
            } else {
                --need_;
                lo_ = 0x80;
                hi_ = 0xBF;
            }
        }
    }
    bool Valid() const { return valid_ && need_ == 0; }
    bool HasHighBytes() const { return high_; }

private:
    bool valid_ = true, high_ = false;
    int need_ = 0;
    unsigned char lo_ = 0x80, hi_ = 0xBF;
};

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

// First pass: where the text ends, whether it is UTF-8, how many lines it has.
void ImportTextReader::Scan() {
    block_.resize(kReadBlock);
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
    utf8_ = bom_ || (checker.Valid() && checker.HasHighBytes());
    totalLines_ = lineFeeds + (last != '\n' ? 1 : 0);
    offset_ = bom_ ? 3 : 0;
    block_.clear();
    pos_ = 0;
}

bool ImportTextReader::Fill() {
    if (offset_ >= textEnd_) return false;
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
    std::string& out = utf8_ ? raw_ : line;
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
    if (utf8_ && Utf8ToAnsi(raw_, line)) ++unmappableLines_;
    return true;
}

bool IsValidUtf8(std::string_view bytes) {
    Utf8Checker checker;
    checker.Feed(bytes.data(), bytes.size());
    return checker.Valid();
}

bool Utf8ToAnsi(std::string_view s, std::string& out) {
    out.clear();
    out.reserve(s.size());
    bool lost = false;
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
            lost = true;
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
            lost = true;
            continue;
        }
        if (cp == 0xFEFF) continue;  // an invisible byte-order mark inside the text (joined files)
        const unsigned char a = UnicodeToAnsiChar(cp);
        out += static_cast<char>(a);
        lost = lost || a == '?';
    }
    return lost;
}

}  // namespace gs
