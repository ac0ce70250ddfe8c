// The tag-position reader: positions in any layout, and the first token that
// is not an integer named by its line.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "common/exceptions.h"
#include "simulator/tag_file.h"
#include "support/test_files.h"

using namespace vorlan2;

namespace {

TEST(TagFileTest, PositionsInAnyLayout) {
    const struct {
        const char* content;
        std::set<int> positions;
    } cases[] = {
        {"", {}},
        {"\n\n", {}},
        {"3000\n1000 2000\t1000\n", {1000, 2000, 3000}},
        {"1000\r\n2000\r\n", {1000, 2000}},
        {"-5 +7\n4000", {-5, 7, 4000}},
        // Beyond the range of panel positions: matches no SNP, so left out.
        {"99999999999 -99999999999 2147483647\n", {2147483647}},
    };
    TempDir dir;
    for (const auto& c : cases) {
        write_file(dir.file("tags.txt"), c.content);
        EXPECT_EQ(read_tag_positions(dir.file("tags.txt")), c.positions) << c.content;
    }
}

TEST(TagFileTest, FirstJunkTokenIsNamedByItsLine) {
    const struct {
        const char* content;
        const char* reason;
    } cases[] = {
        {"1000\n2000\n30x0 4000\nyy\n", "bad tag position on line 3."},
        {"1000 2000.5\n", "bad tag position on line 1."},
        {"\n\n\n1e3\n", "bad tag position on line 4."},
        {"1000,2000\n", "bad tag position on line 1."},
    };
    TempDir dir;
    const std::string path = dir.file("tags.txt");
    for (const auto& c : cases) {
        write_file(path, c.content);
        try {
            read_tag_positions(path);
            ADD_FAILURE() << "accepted " << c.content;
        } catch (const badfilename& e) {
            EXPECT_EQ(e.message, "Error reading file " + path + ": " + c.reason);
        }
    }
}

}  // namespace
