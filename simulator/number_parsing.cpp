// Whole-token number parsing on top of the C library's conversions.
#include "simulator/number_parsing.h"

#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <string>

namespace vorlan2 {

std::optional<long long> parse_integer_token(std::string_view token) {
    if (token.empty() || token.size() > 64) return std::nullopt;
    const std::string text(token);
    if (std::isspace(static_cast<unsigned char>(text[0]))) return std::nullopt;
    char* end = nullptr;
    errno = 0;
    const long long value = std::strtoll(text.c_str(), &end, 10);
    if (errno == ERANGE || end != text.c_str() + text.size()) return std::nullopt;
    return value;
}

std::optional<double> parse_real_token(std::string_view token) {
    if (token.empty() || token.size() > 512) return std::nullopt;
    const std::string text(token);
    if (std::isspace(static_cast<unsigned char>(text[0]))) return std::nullopt;
    char* end = nullptr;
    const double value = std::strtod(text.c_str(), &end);
    if (end != text.c_str() + text.size()) return std::nullopt;
    return value;
}

}  // namespace vorlan2
