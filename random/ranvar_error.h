// Raising the matrix library's exception types without including its headers, which
// bring a using-directive and macros into every file that includes them.
#pragma once

namespace vorlan2 {

[[noreturn]] void throw_logic_error(const char* message);
[[noreturn]] void throw_runtime_error(const char* message);
[[noreturn]] void throw_invalid_argument(const char* message);
// A null message gives the library's plain "bad allocation" report.
[[noreturn]] void throw_bad_alloc(const char* message = nullptr);

}  // namespace vorlan2
