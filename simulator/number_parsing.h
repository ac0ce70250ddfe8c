// Whole-token number parsing shared by the command-line and file readers:
// a token is a number only when every character of it belongs to the number.
#pragma once

#include <optional>
#include <string_view>

namespace vorlan2 {

std::optional<long long> parse_integer_token(std::string_view token);
std::optional<double> parse_real_token(std::string_view token);

}  // namespace vorlan2
