#pragma once
// The address table of address-database mode, without widgets: the table
// component TzDbfAddress opened (or created) from the chosen path, the four
// fields the mode binds, the current record's texts, the editing cycle with
// record locks, the deletion mark and the pack when the mode is left.
//
//     AddressTable t;
//     t.Open(path);                    // one blank record when the table is empty
//     t.PositionText();                // "1/1"
//     t.Change(AddressField::City, "Springfield");  // typing starts an edit
//     t.Next();                        // posts the edit, then moves
//     t.PackAndClose();
//
// Texts are Windows-1252 like everywhere in the core. The table is shared
// with other running copies: an edit takes the record's lock as soon as it
// starts (so two copies cannot overwrite each other's edit of one record);
// when another copy holds it, posting shows the table store's
// "Lock failed [Post]" and keeps the edit, and a move that had to post it
// does not happen.
#include "dbase/tzdbf.h"

#include <array>
#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace gs {

// The field list of a table that this mode creates when the chosen file does
// not exist.
inline const std::vector<std::string> kAddressFieldList = {"address,M,10,0", "city,C,35,0", "state,C,2,0",
                                                           "zip,C,10,0"};

// The most characters the bound city and state controls take; a table whose
// field is shorter lowers the limit to the field's length.
inline constexpr int kBoundCityLimit = 35;
inline constexpr int kBoundStateLimit = 4;

enum class AddressField { Address, City, State, Zip };

// The bound texts of one record.
struct AddressRecord {
    std::vector<std::string> addressLines;  // the memo's lines
    std::string city, state, zip;           // without trailing blanks
};

// A table that lacks one of the bound fields, or holds it with another type.
class AddressTableError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class AddressTable {
public:
    AddressTable();
    AddressTable(const AddressTable&) = delete;
    AddressTable& operator=(const AddressTable&) = delete;

    // The table component itself (its name shows in the table store's messages).
    TTzDbf TzDbfAddress;

    // Opens path (an open table is closed first, dropping a pending edit:
    // call PostAndClose before), creating it with kAddressFieldList when the file does not exist;
    // an empty table gets one blank record. Errors the table store reports
    // (a damaged file, no permission) throw DbfError here instead of halting
    // the program; a missing or mistyped bound field throws
    // AddressTableError. After an error the table is closed.
    void Open(const std::string& path);
    bool Active() const { return TzDbfAddress.Active(); }
    const std::string& FileName() const { return TzDbfAddress.DbfFileName(); }

    // Posts a pending edit, removes the records marked deleted (when no other
    // copy holds the table open) and closes. False, with the table left open
    // and the edit pending, when the edit could not be posted.
    bool PackAndClose();
    // The same without the pack: the marks stay in the file.
    bool PostAndClose();

    // Moves; each posts a modified edit first (an insert nobody typed into is
    // dropped) and returns false, standing still, when that post failed.
    bool First();
    bool Prior();
    bool Next();
    bool Last();
    bool Bof() const { return TzDbfAddress.Bof(); }
    bool Eof() const { return TzDbfAddress.Eof(); }

    // A new blank record; it joins the table when it is posted.
    bool Insert();
    // Writes the pending edit when something was typed; an insert nobody
    // typed into is dropped. False when the lock could not be had.
    bool PostIfModified() { return Settle(); }
    // Writes the pending edit (an insert also when nothing was typed).
    // False when the lock could not be had: the edit stays pending.
    bool Post();
    // Discards the pending edit.
    void Cancel();
    // Re-reads the record count and the current record (posting first).
    bool Refresh();

    // Typing into a bound control: starts an edit of the current record
    // (taking its lock when it can) and keeps the control's new text.
    void Change(AddressField field, const std::string& text);
    void ChangeAddress(const std::vector<std::string>& lines);
    bool Editing() const { return editing_; }
    bool Inserting() const { return TzDbfAddress.State() == TDataSetState::dsInsert; }
    bool Modified() const;

    // The deletion mark of the current record. Setting or clearing it posts
    // a pending edit first (an untouched insert is simply dropped) and takes
    // the record lock ("Lock failed [Delete]" when another copy holds it).
    bool IsDeleted() const { return TzDbfAddress.IsDeleted(); }
    void MarkDeleted();
    void Unmark();

    // The current record as stored (blank while inserting).
    AddressRecord Current();
    // "n/m": current record number and record count, deleted ones included.
    std::string PositionText();
    // Records not marked deleted. Reads every record and comes back to the
    // current one; a pending edit is posted first (0 when that failed).
    std::uint32_t LiveRecordCount();
    // The length of a character field of the open table.
    int FieldLength(AddressField field) const;

private:
    bool Settle();  // before a move
    void BeginEdit();
    void EndEdit();

    bool editing_ = false;
    bool ownLock_ = false;  // the record lock taken when the edit started
    std::optional<std::vector<std::string>> address_;
    std::array<std::optional<std::string>, 3> texts_;  // city, state, zip
};

}  // namespace gs
