// The tag-position reader: one pass over the lines, stopping at the first
// token that is not an integer.
#include "simulator/tag_file.h"

#include <limits>
#include <string>

#include "simulator/exceptions.h"
#include "simulator/line_reader.h"
#include "simulator/number_parsing.h"

std::set<int> read_tag_positions(const std::filesystem::path& tag_file) {
    const std::string path = tag_file.string();
    LineReader in(path);
    if (!in.is_open()) throw badfilename(path, "can't open file.");
    std::set<int> positions;
    std::string_view line;
    int line_number = 0;
    while (in.next(line)) {
        ++line_number;
        FieldSplitter fields(line);
        std::string_view token;
        while (fields.next(token)) {
            const auto value = parse_integer_token(token);
            if (!value) throw badfilename(path, "bad tag position on line " + std::to_string(line_number) + ".");
            // A position beyond the range of panel positions matches no SNP.
            if (*value >= std::numeric_limits<int>::min() && *value <= std::numeric_limits<int>::max())
                positions.insert(static_cast<int>(*value));
        }
    }
    return positions;
}
