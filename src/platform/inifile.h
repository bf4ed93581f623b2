#pragma once
// A private-profile (INI) file kept as its lines, so that comments, unknown
// keys and the order of everything survive a rewrite.
//
// Section and key names match without regard to case. A value is the raw text
// after the first "=" to the end of the line. Writing a key replaces its value
// where it stands; a new key goes at the end of its section, a new section at
// the end of the file.
#include <string>
#include <string_view>
#include <vector>

namespace gs {

class IniFile {
public:
    IniFile() = default;
    explicit IniFile(std::string path) : path_(std::move(path)) {}

    // Reads the file. A missing file is an empty profile (returns true);
    // false only when the file exists but cannot be read.
    bool Load();
    // Parses text as if it had been read from the file.
    void LoadFromText(std::string_view text);

    std::string ReadString(std::string_view section, std::string_view key,
                           std::string_view defaultValue) const;
    // Decimal, or hexadecimal after "0x"/"0X"; anything else gives the default.
    long ReadInteger(std::string_view section, std::string_view key, long defaultValue) const;
    bool ReadBool(std::string_view section, std::string_view key, bool defaultValue) const;

    void WriteString(std::string_view section, std::string_view key, std::string_view value);
    void WriteInteger(std::string_view section, std::string_view key, long value);
    void WriteBool(std::string_view section, std::string_view key, bool value);

    // Writes a temporary file beside the target and renames it over the old
    // one, so a crash never leaves half a file. On failure returns false and
    // puts the reason into *error.
    bool Save(std::string* error = nullptr) const;

    std::string Text() const;
    const std::string& Path() const { return path_; }

    // Parses a whole integer as the profile service does; nullopt-like false
    // when the text is not one.
    static bool ParseInteger(std::string_view text, long* value);

private:
    struct Found {
        int line = -1;         // index of the key line, -1 when absent
        int sectionEnd = -1;   // index just past the section's last key, -1 when no section
    };
    Found Find(std::string_view section, std::string_view key) const;

    std::string path_;
    std::vector<std::string> lines_;
    std::string_view eol_ = "\n";  // always one of two literals
};

}  // namespace gs
