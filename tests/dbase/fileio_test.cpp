#include "dbase/fileio.h"

#include <fcntl.h>

#include "dbftestutil.h"

namespace gs::test {
namespace {

using FileIoTest = DbfTest;

// The view must show what a read would: writes through other descriptors at
// once, bytes appended past the first mapping, and nothing past the end.
TEST_F(FileIoTest, ReadViewShowsTheFileAsAReadWould) {
    const std::string path = Path("v.bin");
    WriteFile(path, std::string(100, 'a'));
    dbfio::FileHandle reader, writer;
    ASSERT_TRUE(reader.Open(path, O_RDONLY));
    ASSERT_TRUE(writer.Open(path, O_RDWR));
    dbfio::ReadView view(0);  // no room to grow: appends need a new mapping
    auto at = [&](std::uint64_t off, std::size_t n) {
        const char* p = view.At(reader.Fd(), off, n);
        return p ? std::string(p, n) : std::string("(none)");
    };
    EXPECT_EQ(at(90, 10), std::string(10, 'a'));
    EXPECT_EQ(at(95, 10), "(none)");

    ASSERT_TRUE(writer.WriteAt("xyz", 3, 10));
    EXPECT_EQ(at(9, 5), "axyza");

    const std::string tail(10000, 'b');
    ASSERT_TRUE(writer.WriteAt(tail.data(), tail.size(), 100));
    EXPECT_EQ(at(10090, 10), std::string(10, 'b'));
    EXPECT_EQ(at(9, 5), "axyza");

    ASSERT_TRUE(writer.Truncate(50));
    view.Reset();
    EXPECT_EQ(at(45, 10), "(none)");
    EXPECT_EQ(at(40, 10), std::string(10, 'a'));
}

}  // namespace
}  // namespace gs::test
