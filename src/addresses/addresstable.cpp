#include "addresses/addresstable.h"

#include "dbase/dbferror.h"

namespace gs {

namespace {

struct BoundField {
    const char* name;
    char type;
};
constexpr BoundField kBound[] = {{"ADDRESS", 'M'}, {"CITY", 'C'}, {"STATE", 'C'}, {"ZIP", 'C'}};

const DbfFieldDef* FindDef(const TTzDbf& t, const char* name) {
    for (const DbfFieldDef& d : t.FieldDefs())
        if (d.name == name) return &d;
    return nullptr;
}

// The type names of the dataset layer's messages.
const char* TypeWord(char type) {
    switch (type) {
    case 'C': return "String";
    case 'D': return "Date";
    case 'N': case 'F': return "Float";
    case 'L': return "Boolean";
    case 'M': return "Memo";
    default: return "Blob";
    }
}

// While it lives, an error of the table store throws DbfError from the
// failing call instead of ending the program: a table the user picked that
// cannot be opened must leave a working window.
class DbfErrorsThrow {
public:
    DbfErrorsThrow() : previous_(SetDbfFatalHandler([](int, const std::string&, const std::string&) {})) {}
    ~DbfErrorsThrow() { SetDbfFatalHandler(std::move(previous_)); }
    DbfErrorsThrow(const DbfErrorsThrow&) = delete;
    DbfErrorsThrow& operator=(const DbfErrorsThrow&) = delete;

private:
    DbfFatalHandler previous_;
};

}  // namespace

AddressTable::AddressTable() : TzDbfAddress("TzDbfAddress") {
    TzDbfAddress.TableLanguage = tlOem;
    TzDbfAddress.SetExclusive(false);
    TzDbfAddress.HideDeletedRecs = false;  // marked records stay visible until the mode is left
    TzDbfAddress.CreateIndex = ciNotFound;
    TzDbfAddress.ReadOnly = false;
    TzDbfAddress.DbfFields = kAddressFieldList;
}

void AddressTable::Open(const std::string& path) {
    EndEdit();
    const DbfErrorsThrow throwing;
    try {
        TzDbfAddress.Close();
        TzDbfAddress.SetDbfFileName(path);
        TzDbfAddress.Open();
        for (const BoundField& b : kBound) {
            const DbfFieldDef* f = FindDef(TzDbfAddress, b.name);
            if (!f) throw AddressTableError(TzDbfAddress.Name + ": Field '" + b.name + "' not found");
            if (f->type != b.type)
                throw AddressTableError(TzDbfAddress.Name + ": Type mismatch for field '" + b.name +
                                        "', expecting: " + TypeWord(b.type) + " actual: " + TypeWord(f->type));
        }
        if (TzDbfAddress.RecCount() == 0 && Insert()) Post();
    } catch (...) {
        EndEdit();
        try {
            TzDbfAddress.Close();
        } catch (const DbfError&) {
            // The open error is the one to report.
        }
        throw;
    }
}

bool AddressTable::PackAndClose() {
    if (!Active()) return true;
    if (!Settle()) return false;
    TzDbfAddress.Pack();  // false while another copy has the table open: the marks stay
    TzDbfAddress.Close();
    return true;
}

bool AddressTable::PostAndClose() {
    if (!Active()) return true;
    if (!Settle()) return false;
    TzDbfAddress.Close();
    return true;
}

bool AddressTable::Settle() {
    if (!editing_) return true;
    if (!Modified()) {
        Cancel();
        return true;
    }
    return Post();
}

bool AddressTable::First() {
    if (!Active() || !Settle()) return false;
    TzDbfAddress.First();
    return true;
}

bool AddressTable::Prior() {
    if (!Active() || !Settle()) return false;
    TzDbfAddress.Prior();
    return true;
}

bool AddressTable::Next() {
    if (!Active() || !Settle()) return false;
    TzDbfAddress.Next();
    return true;
}

bool AddressTable::Last() {
    if (!Active() || !Settle()) return false;
    TzDbfAddress.Last();
    return true;
}

bool AddressTable::Insert() {
    if (!Active() || !Settle()) return false;
    TzDbfAddress.Insert();
    editing_ = true;
    return true;
}

bool AddressTable::Post() {
    if (!editing_) return true;
    if (!Modified() && !Inserting()) {
        Cancel();
        return true;
    }
    if (address_) TzDbfAddress.SetMField("ADDRESS", *address_);
    for (int i = 0; i < 3; ++i)
        if (texts_[i]) TzDbfAddress.SetFieldText(kBound[i + 1].name, *texts_[i]);
    TzDbfAddress.Post();
    const TDataSetState s = TzDbfAddress.State();
    if (s == TDataSetState::dsEdit || s == TDataSetState::dsInsert) return false;  // lock refused, shown
    EndEdit();
    return true;
}

void AddressTable::Cancel() {
    TzDbfAddress.Cancel();
    EndEdit();
}

bool AddressTable::Refresh() {
    if (!Active() || !Settle()) return false;
    TzDbfAddress.Refresh();
    return true;
}

void AddressTable::EndEdit() {
    editing_ = false;
    address_.reset();
    for (auto& t : texts_) t.reset();
    if (ownLock_) {
        ownLock_ = false;
        if (Active()) TzDbfAddress.UnLock();
    }
}

void AddressTable::Change(AddressField field, const std::string& text) {
    if (!Active()) return;
    if (field == AddressField::Address) {
        std::vector<std::string> lines;
        std::string line;
        for (char c : text) {
            if (c == '\n') {
                lines.push_back(line);
                line.clear();
            } else if (c != '\r') {
                line += c;
            }
        }
        lines.push_back(line);
        ChangeAddress(lines);
        return;
    }
    BeginEdit();
    texts_[static_cast<int>(field) - 1] = text;
}

void AddressTable::ChangeAddress(const std::vector<std::string>& lines) {
    if (!Active()) return;
    BeginEdit();
    address_ = lines;
}

void AddressTable::BeginEdit() {
    if (editing_) return;
    if (!Inserting()) {
        TzDbfAddress.Edit();
        ownLock_ = TzDbfAddress.LockRecord();  // refused: Post tries again and says so
    }
    editing_ = true;
}

bool AddressTable::Modified() const {
    if (!editing_) return false;
    if (address_) return true;
    for (const auto& t : texts_)
        if (t) return true;
    return false;
}

void AddressTable::MarkDeleted() {
    if (!Active()) return;
    if (Inserting()) {
        Cancel();  // deleting a record that is not in the table yet drops it
        return;
    }
    if (!Settle()) return;
    TzDbfAddress.Delete();
}

void AddressTable::Unmark() {
    if (!Active()) return;
    if (Inserting()) {
        Cancel();
        return;
    }
    if (!Settle()) return;
    TzDbfAddress.Recall();
}

AddressRecord AddressTable::Current() {
    AddressRecord r;
    if (!Active()) return r;
    TzDbfAddress.GetMField("ADDRESS", r.addressLines);
    r.city = TzDbfAddress.FieldByName("CITY").AsString();
    r.state = TzDbfAddress.FieldByName("STATE").AsString();
    r.zip = TzDbfAddress.FieldByName("ZIP").AsString();
    return r;
}

std::string AddressTable::PositionText() {
    if (!Active()) return "0/0";
    return std::to_string(TzDbfAddress.RecNo()) + "/" + std::to_string(TzDbfAddress.RecCount());
}

std::uint32_t AddressTable::LiveRecordCount() {
    if (!Active() || !Settle()) return 0;
    const std::uint32_t keep = TzDbfAddress.RecNo();
    const bool bof = TzDbfAddress.Bof(), eof = TzDbfAddress.Eof();
    std::uint32_t live = 0;
    for (TzDbfAddress.First(); !TzDbfAddress.Eof(); TzDbfAddress.Next())
        if (!TzDbfAddress.IsDeleted()) ++live;
    // Back to the record, and to what the cursor knew of the ends.
    if (bof && keep == 1) {
        TzDbfAddress.First();
    } else if (eof && keep == TzDbfAddress.RecCount()) {
        TzDbfAddress.Last();
        TzDbfAddress.Next();
    } else {
        TzDbfAddress.Go(keep);
    }
    return live;
}

int AddressTable::FieldLength(AddressField field) const {
    const DbfFieldDef* f = FindDef(TzDbfAddress, kBound[static_cast<int>(field)].name);
    return f ? f->length : 0;
}

}  // namespace gs
