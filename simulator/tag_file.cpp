// The tag-position reader: one pass over the lines, stopping at the first
// token that is not an integer; then the positions matched to panel SNPs.
#include "simulator/tag_file.h"

#include <limits>
#include <string>

#include "common/exceptions.h"
#include "simulator/line_reader.h"
#include "simulator/number_parsing.h"

namespace vorlan2 {

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

std::vector<int> tag_snp_indices(const std::filesystem::path& tag_file, const snps_map& snps) {
    const std::set<int> tags = read_tag_positions(tag_file);
    std::vector<int> indices;
    auto tag = tags.begin();
    int j = 0;
    for (auto it = snps.begin(); it != snps.end() && tag != tags.end(); ++it, ++j) {
        while (tag != tags.end() && *tag < it->first) ++tag;
        if (tag != tags.end() && *tag == it->first) indices.push_back(j);
    }
    return indices;
}

}  // namespace vorlan2
