#include "platform/inifile.h"

#include "platform/textutil.h"

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <unistd.h>

namespace gs {

namespace {

// "[name]" -> name; false when the line opens no section.
bool SectionName(std::string_view line, std::string_view* name) {
    line = TrimSpacesAndTabs(line);
    if (line.empty() || line.front() != '[') return false;
    const auto close = line.find(']');
    if (close == std::string_view::npos) return false;
    *name = TrimSpacesAndTabs(line.substr(1, close - 1));
    return true;
}

// "key=value" -> key; false when the line holds no "=" (or is a comment).
bool KeyName(std::string_view line, std::string_view* key) {
    const auto t = TrimSpacesAndTabs(line);
    if (t.empty() || t.front() == ';') return false;
    const auto eq = line.find('=');
    if (eq == std::string_view::npos) return false;
    *key = TrimSpacesAndTabs(line.substr(0, eq));
    return true;
}

}  // namespace

bool IniFile::Load() {
    lines_.clear();
    std::ifstream in(path_, std::ios::binary);
    if (!in) {
        std::error_code ec;
        return !std::filesystem::exists(path_, ec);
    }
    std::ostringstream text;
    text << in.rdbuf();
    LoadFromText(text.str());
    return true;
}

void IniFile::LoadFromText(std::string_view text) {
    lines_.clear();
    eol_ = "\n";
    const auto firstLf = text.find('\n');
    if (firstLf != std::string_view::npos && firstLf > 0 && text[firstLf - 1] == '\r') eol_ = "\r\n";
    std::size_t start = 0;
    while (start < text.size()) {
        auto end = text.find('\n', start);
        if (end == std::string_view::npos) end = text.size();
        auto line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        lines_.emplace_back(line);
        start = end + 1;
    }
}

IniFile::Found IniFile::Find(std::string_view section, std::string_view key) const {
    Found f;
    bool inSection = false;
    for (int i = 0; i < static_cast<int>(lines_.size()); ++i) {
        std::string_view name;
        if (SectionName(lines_[i], &name)) {
            if (inSection) break;  // the first section of that name is the one used
            inSection = EqualNoCase(name, section);
            if (inSection) f.sectionEnd = i + 1;
            continue;
        }
        if (!inSection) continue;
        std::string_view k;
        if (KeyName(lines_[i], &k)) {
            f.sectionEnd = i + 1;
            if (f.line < 0 && EqualNoCase(k, key)) f.line = i;
        }
    }
    return f;
}

std::string IniFile::ReadString(std::string_view section, std::string_view key,
                                std::string_view defaultValue) const {
    const auto f = Find(section, key);
    if (f.line < 0) return std::string(defaultValue);
    const auto& line = lines_[f.line];
    return line.substr(line.find('=') + 1);
}

bool IniFile::ParseInteger(std::string_view text, long* value) {
    text = TrimSpacesAndTabs(text);
    bool negative = false;
    if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    int base = 10;
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        base = 16;
        text.remove_prefix(2);
    }
    if (text.empty()) return false;
    unsigned long long v = 0;
    for (char c : text) {
        int d;
        if (c >= '0' && c <= '9') d = c - '0';
        else if (base == 16 && c >= 'a' && c <= 'f') d = c - 'a' + 10;
        else if (base == 16 && c >= 'A' && c <= 'F') d = c - 'A' + 10;
        else return false;
        v = v * base + d;
        if (v > 0xFFFFFFFFull) return false;
    }
    // The profile service hands back a 32-bit value.
    long r = static_cast<long>(static_cast<int32_t>(static_cast<uint32_t>(v)));
    *value = negative ? -r : r;
    return true;
}

long IniFile::ReadInteger(std::string_view section, std::string_view key, long defaultValue) const {
    const auto f = Find(section, key);
    if (f.line < 0) return defaultValue;
    long v;
    const auto& line = lines_[f.line];
    return ParseInteger(std::string_view(line).substr(line.find('=') + 1), &v) ? v : defaultValue;
}

bool IniFile::ReadBool(std::string_view section, std::string_view key, bool defaultValue) const {
    return ReadInteger(section, key, defaultValue ? 1 : 0) != 0;
}

void IniFile::WriteString(std::string_view section, std::string_view key, std::string_view value) {
    std::string line = std::string(key) + "=" + std::string(value);
    const auto f = Find(section, key);
    if (f.line >= 0) {
        // Keep the key's spelling as it stands in the file.
        const auto& old = lines_[f.line];
        lines_[f.line] = old.substr(0, old.find('=') + 1) + std::string(value);
    } else if (f.sectionEnd >= 0) {
        lines_.insert(lines_.begin() + f.sectionEnd, std::move(line));
    } else {
        std::string header;
        header.reserve(section.size() + 2);
        header.append("[").append(section).append("]");
        lines_.push_back(std::move(header));
        lines_.push_back(std::move(line));
    }
}

void IniFile::WriteInteger(std::string_view section, std::string_view key, long value) {
    WriteString(section, key, std::to_string(value));
}

void IniFile::WriteBool(std::string_view section, std::string_view key, bool value) {
    WriteString(section, key, value ? "1" : "0");
}

std::string IniFile::Text() const {
    std::string out;
    for (const auto& l : lines_) {
        out += l;
        out += eol_;
    }
    return out;
}

bool IniFile::Save(std::string* error) const {
    auto fail = [&](const std::string& what) {
        if (error) *error = what + ": " + std::strerror(errno);
        return false;
    };
    namespace fs = std::filesystem;
    const fs::path target(path_);
    std::error_code ec;
    if (target.has_parent_path()) fs::create_directories(target.parent_path(), ec);
    std::string tmp = path_ + ".XXXXXX";
    const int fd = ::mkstemp(tmp.data());
    if (fd < 0) return fail("Cannot write \"" + path_ + "\"");
    const std::string text = Text();
    const char* p = text.data();
    std::size_t left = text.size();
    while (left > 0) {
        const ssize_t n = ::write(fd, p, left);
        if (n < 0) {
            if (errno == EINTR) continue;
            const int saved = errno;
            ::close(fd);
            ::unlink(tmp.c_str());
            errno = saved;
            return fail("Cannot write \"" + path_ + "\"");
        }
        p += n;
        left -= static_cast<std::size_t>(n);
    }
    if (::fchmod(fd, 0644) != 0 || ::fsync(fd) != 0 || ::close(fd) != 0) {
        const int saved = errno;
        ::unlink(tmp.c_str());
        errno = saved;
        return fail("Cannot write \"" + path_ + "\"");
    }
    if (::rename(tmp.c_str(), path_.c_str()) != 0) {
        const int saved = errno;
        ::unlink(tmp.c_str());
        errno = saved;
        return fail("Cannot replace \"" + path_ + "\"");
    }
    return true;
}

}  // namespace gs
