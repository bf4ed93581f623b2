// Memo fields: block numbers in the record, memo text as lines or as one
// stream, through the memo file.
#include "dbase/tzdbf.h"

#include "dbase/dbferror.h"
#include "dbase/tzdbf_internal.h"
#include "platform/codepage.h"

namespace gs {

using namespace tzdbf_detail;

namespace {

std::vector<std::string> SplitMemoLines(const std::string& raw) {
    // CR LF, a lone CR or a lone LF end a line; the soft break 8D 0A of other
    // dBase editors joins the two parts again.
    std::vector<std::string> lines;
    std::string cur;
    for (std::size_t i = 0; i < raw.size(); ++i) {
        char c = raw[i];
        if (static_cast<unsigned char>(c) == 0x8D && i + 1 < raw.size() && raw[i + 1] == '\n') {
            ++i;
            continue;
        }
        if (c == '\r' || c == '\n') {
            lines.push_back(cur);
            cur.clear();
            if (c == '\r' && i + 1 < raw.size() && raw[i + 1] == '\n') ++i;
        } else {
            cur += c;
        }
    }
    if (!cur.empty()) lines.push_back(cur);
    return lines;
}

}  // namespace

std::uint32_t TTzDbf::MemoBlockOf(const char* rec, int i) const {
    const DbfFieldDef& f = fields_[static_cast<std::size_t>(i)];
    const char* p = rec + 1 + f.offset;
    std::uint64_t v = 0;
    bool digits = false;
    for (int k = 0; k < f.length; ++k) {
        char c = p[k];
        if (c == ' ' || c == '\0') {
            if (digits) return UINT32_MAX;  // blanks after digits: not a block number
            continue;
        }
        if (c < '0' || c > '9') return UINT32_MAX;
        digits = true;
        v = v * 10 + static_cast<std::uint64_t>(c - '0');
        if (v >= UINT32_MAX) return UINT32_MAX;
    }
    return static_cast<std::uint32_t>(v);
}

std::uint32_t TTzDbf::MemoBlock(int i) const { return MemoBlockOf(buffer_.data(), i); }

void TTzDbf::PutMemoBlock(int i, std::uint32_t block) {
    PutSlice(i, block == 0 ? std::string() : RightAlign(std::to_string(block), fields_[static_cast<std::size_t>(i)].length));
}

std::string TTzDbf::ReadMemoRaw(int i) {
    std::uint32_t block = MemoBlock(i);
    if (block == 0) return "";
    if (block == UINT32_MAX || !memo_.IsOpen())
        RaiseDbfError(dbferr::kInvalidMemoAddress,
                      memo_.Path() + " Record # " + std::to_string(recNo_) + " [GetMemo]");
    return memo_.Read(block, static_cast<long>(recNo_));
}

void TTzDbf::JoinMemoRunIfOwned() {
    // Holding the append lock, this copy is the only one adding records, so
    // the memos it adds may share one memo lock (an import's thousands).
    if (!memo_.InRun() && Shared() && appendLocked_) memo_.BeginRun();
}

void TTzDbf::WriteMemoRaw(int i, const std::string& raw) {
    EnsureEditing();
    JoinMemoRunIfOwned();
    std::uint32_t old = MemoBlock(i);
    bool reusable = old != 0 && old != UINT32_MAX &&
                    (freshMemo_[static_cast<std::size_t>(i)] == old || explicitEdit_);
    std::uint32_t block = memo_.Write(reusable ? old : 0, raw);
    PutMemoBlock(i, block);
    freshMemo_[static_cast<std::size_t>(i)] = block;
}

int TTzDbf::CheckMemoField(const std::string& name, const char* op) {
    CheckOpen(op);
    int i = FieldIndex(name);
    if (i < 0)
        RaiseDbfError(dbferr::kInvalidParameter,
                      "Field \"" + name + "\" not in \"" + fileName_ + "\"" + " [" + op + "]");
    const DbfFieldDef& f = fields_[static_cast<std::size_t>(i)];
    if (!IsMemoType(f.type))
        RaiseDbfError(dbferr::kInvalidParameter, std::string("\"") + op + "()\" expects field \"" + name +
                                                     "\" to be of type:\r\n\"memo\".\"" + name +
                                                     "\" actually is: \"" + TypeName(f) + "\"");
    return i;
}

void TTzDbf::GetMField(const std::string& fieldName, std::vector<std::string>& lines) {
    lines.clear();
    int i = CheckMemoField(fieldName, "GetMField");
    std::string raw = ReadMemoRaw(i);
    lines = SplitMemoLines(raw);
    if (TableLanguage == tlOem)
        for (std::string& l : lines) l = OemToAnsi(l);
}

void TTzDbf::SetMField(const std::string& fieldName, const std::vector<std::string>& lines) {
    int i = CheckMemoField(fieldName, "SetMField");
    std::string raw;
    for (std::size_t k = 0; k < lines.size(); ++k) {
        if (k) raw += "\r\n";
        raw += TableLanguage == tlOem ? AnsiToOem(lines[k]) : lines[k];
    }
    WriteMemoRaw(i, raw);
}

std::string TTzDbf::GetMemoText(const std::string& fieldName) {
    int i = CheckMemoField(fieldName, "GetMField");
    std::string raw = ReadMemoRaw(i);
    return TableLanguage == tlOem ? OemToAnsi(raw) : raw;
}

void TTzDbf::SetMemoText(const std::string& fieldName, const std::string& text) {
    int i = CheckMemoField(fieldName, "SetMField");
    WriteMemoRaw(i, TableLanguage == tlOem ? AnsiToOem(text) : text);
}

}  // namespace gs
