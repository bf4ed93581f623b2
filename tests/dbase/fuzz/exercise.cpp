#include "fuzz/exercise.h"

#include <fstream>
#include <vector>

#include "dbase/dbferror.h"
#include "dbase/mdxindex.h"
#include "dbase/memofile.h"
#include "dbase/tzdbf.h"

namespace gs::fuzz {

namespace {
void Write(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

void ReadAll(TTzDbf& t) {
    int guard = 0;
    for (t.First(); !t.Eof() && guard < 2000; t.Next(), ++guard) {
        for (int i = 0; i < t.FieldCount(); ++i) {
            try {
                TDbfField& f = t.Fields(i);
                (void)t.GetFieldText(f.FieldName());
                (void)f.AsString();
                if (f.DataType() == 'M') {
                    std::vector<std::string> lines;
                    t.GetMField(f.FieldName(), lines);
                }
            } catch (const DatasetError&) {
            } catch (const DbfError&) {
            }
        }
    }
}

// A small valid table with a memo field whose records point at blocks 1..4.
std::string MemoTable() {
    std::string h(32 + 32 + 1, '\0');
    h[0] = static_cast<char>(0x8B);
    h[8] = 65;
    h[10] = 11;
    h[32] = 'M';
    h[43] = 'M';
    h[48] = 10;
    h[64] = 0x0D;
    for (const char* b : {"         1", "         2", "         3", "         4"}) h += std::string(" ") + b;
    h[4] = 4;
    return h + "\x1A";
}
}  // namespace

void ExerciseBytes(const std::string& dir, const std::uint8_t* data, std::size_t size) {
    if (size == 0) return;
    auto prevFatal = SetDbfFatalHandler([](int, const std::string&, const std::string&) {});
    auto prevMsg = SetDbfMessageHandler([](const std::string&) {});
    const std::string bytes(reinterpret_cast<const char*>(data) + 1, size - 1);
    const int mode = data[0] % 3;
    try {
        if (mode == 0) {  // a table
            Write(dir + "fz.dbf", bytes);
            Write(dir + "fz.dbt", MemoFile::NewHeader("fz"));
            TTzDbf t;
            t.CreateIfNotFound = false;
            t.SetExclusive(true);
            t.SetDbfFileName(dir + "fz.dbf");
            try {
                t.Open();
                ReadAll(t);
                t.HideDeletedRecs = true;
                t.Last();
                t.Prior();
                if (t.FieldCount() > 0) {
                    try {
                        t.IndexOnOne(t.Fields(0).FieldName(), "fz");
                        ReadAll(t);
                    } catch (const DatasetError&) {
                    } catch (const DbfError&) {
                    }
                }
            } catch (const DbfError&) {
            }
        } else if (mode == 1) {  // a memo file
            Write(dir + "fm.dbf", MemoTable());
            Write(dir + "fm.dbt", bytes);
            TTzDbf t;
            t.CreateIfNotFound = false;
            t.SetExclusive(true);
            t.SetDbfFileName(dir + "fm.dbf");
            try {
                t.Open();
                ReadAll(t);
            } catch (const DbfError&) {
            }
        } else {  // an index file
            mdx::TagContents tag;
            std::string why;
            mdx::ReadTag(bytes, "", tag, why);
        }
    } catch (const DbfError&) {
    } catch (const DatasetError&) {
    }
    SetDbfFatalHandler(prevFatal);
    SetDbfMessageHandler(prevMsg);
}

}  // namespace gs::fuzz
