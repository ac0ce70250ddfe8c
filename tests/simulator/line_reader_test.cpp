// The line reader's refusal of a line that cannot be held in memory, with
// the memory check made small so that the limit is reached in a test.
#include "simulator/line_reader.h"

#include <gtest/gtest.h>

#include <string>

#include "common/exceptions.h"
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

}  // namespace
