// The line reader's refusals: a line that cannot be held in memory (with the
// memory check made small so that the limit is reached in a test), a lone
// carriage return, a compressed file.
#include "simulator/line_reader.h"

#include <gtest/gtest.h>

#include <string>

#include "common/exceptions.h"
#include "simulator/support/compressed_files.h"
#include "support/test_files.h"

using namespace vorlan2;

namespace {

bool within_one_megabyte(std::size_t bytes) { return bytes <= (std::size_t{1} << 20); }

// Every line of the file, or the message that ended the reading.
std::string read_lines(const std::string& path) {
    LineReader reader(path, within_one_megabyte);
    std::string lengths;
    std::string_view line;
    try {
        while (reader.next(line)) lengths += std::to_string(line.size()) + " ";
    } catch (const badfilename& e) {
        return lengths + e.message;
    }
    return lengths;
}

TEST(LineReaderTest, LineLongerThanMemoryAllowsIsRefusedByItsNumber) {
    TempDir dir;
    const std::string path = dir.file("lines.txt");
    // Growing from 512 kB to 1 MB would hold 1.5 MB at once.
    const std::size_t most = 512 << 10;
    struct Case {
        std::string content;
        std::string expected;
    };
    const std::vector<Case> cases = {
        {"ab\n" + std::string(most - 1, 'x') + "\nc", "2 524287 1 "},
        {"ab\n" + std::string(most - 1, 'x'), "2 524287 "},
        {"ab\ncd\n" + std::string(most, 'x') + "\n",
         "2 2 Error reading file " + path + ": line 3 is too long to fit in memory."},
        {std::string(3 << 20, '\0'), "Error reading file " + path + ": line 1 is too long to fit in memory."},
    };
    for (const auto& c : cases) {
        write_file(path, c.content);
        EXPECT_EQ(read_lines(path), c.expected);
    }
}

TEST(LineReaderTest, LoneCarriageReturnIsRefusedByItsLine) {
    TempDir dir;
    const std::string path = dir.file("lines.txt");
    const std::string refused = "Error reading file " + path + ": line ";
    const std::string reason =
        " ends in a lone carriage return (old Mac line ends); convert the file to Unix line ends first (for "
        "example with mac2unix).";
    // The first block read holds 64 kB: a line end can straddle two blocks.
    const std::string block_less_one(65535, 'x');
    struct Case {
        std::string content;
        std::string expected;
    };
    const std::vector<Case> cases = {
        {"ab\r\ncd\r\n\r\nef", "2 2 0 2 "},
        {"ab\rcd\ref\r", refused + "1" + reason},
        {"ab\ncd\ref\n", "2 " + refused + "2" + reason},
        {"ab\ncd\r", "2 " + refused + "2" + reason},
        {"ab\r\r\n", refused + "1" + reason},
        {block_less_one + "\r\nab\n", "65535 2 "},
        {block_less_one + "\rab\n", refused + "1" + reason},
        {block_less_one + "\r" + std::string(3 << 20, 'y'), refused + "1" + reason},
        {"ab\n" + block_less_one + "\r", "2 " + refused + "2" + reason},
        // Refused at its first block, not once it has filled the memory.
        {[] {
             std::string mac;
             while (mac.size() < (3u << 20)) mac += "0 1 1 0\r";
             return mac;
         }(),
         refused + "1" + reason},
    };
    for (const auto& c : cases) {
        write_file(path, c.content);
        EXPECT_EQ(read_lines(path), c.expected) << c.content.substr(0, 20);
    }
}

TEST(LineReaderTest, CompressedFileIsRefusedAtItsFirstRead) {
    TempDir dir;
    const std::string path = dir.file("panel.haps");
    for (const auto& [format, bytes] : compressed_files()) {
        write_file(path, bytes);
        EXPECT_EQ(read_lines(path),
                  "Error reading file " + path + ": the file is compressed; unpack it first (for example with gunzip).")
            << format;
    }
    // Text that begins like a magic number but is none.
    const std::vector<std::pair<std::string, std::string>> texts = {
        {"BZh9 pos a0 a1\nrs1 1 A G\n", "14 9 "},
        {"BZh91AY&SX\n", "10 "},
        {"\x1f\n", "1 "},
        {"(\xb5/\n", "3 "},
    };
    for (const auto& [content, lengths] : texts) {
        write_file(path, content);
        EXPECT_EQ(read_lines(path), lengths) << content;
    }
}

}  // namespace
