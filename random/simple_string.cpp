// SimpleString: every change builds a new array of exactly the new length, so that a
// string may be assigned or appended to itself.
#include "random/simple_string.h"

#include <cstring>
#include <limits>
#include <new>

#include "random/ranvar_error.h"

using namespace vorlan2;

namespace {

std::uint32_t text_length(const char* s) {
    if (s == nullptr) return 0;
    const std::size_t n = std::strlen(s);
    if (n > std::numeric_limits<std::uint32_t>::max()) throw_bad_alloc();
    return static_cast<std::uint32_t>(n);
}

// A new array of n characters and the closing NUL.
char* new_text(std::uint64_t n) {
    if (n > std::numeric_limits<std::uint32_t>::max()) throw_bad_alloc();
    char* text = new (std::nothrow) char[n + 1];
    if (text == nullptr) throw_bad_alloc();
    text[n] = '\0';
    return text;
}

char* joined(const char* a, std::uint32_t na, const char* b, std::uint32_t nb) {
    char* text = new_text(std::uint64_t{na} + nb);
    if (na > 0) std::memcpy(text, a, na);
    if (nb > 0) std::memcpy(text + na, b, nb);
    return text;
}

}  // namespace

SimpleString::SimpleString() : SimpleString(nullptr, 0, nullptr, 0) {}

SimpleString::SimpleString(const char* s) : SimpleString(s, text_length(s), nullptr, 0) {}

SimpleString::SimpleString(unsigned int n, char c) : text(new_text(n)), length(n) { std::memset(text, c, n); }

SimpleString::SimpleString(const SimpleString& s) : SimpleString(s.text, s.length, nullptr, 0) {}

SimpleString::SimpleString(const char* a, std::uint32_t na, const char* b, std::uint32_t nb)
    : text(joined(a, na, b, nb)), length(na + nb) {}

SimpleString::~SimpleString() { delete[] text; }

void SimpleString::replace(const char* a, std::uint32_t na, const char* b, std::uint32_t nb) {
    char* renewed = joined(a, na, b, nb);
    delete[] text;
    text = renewed;
    length = na + nb;
}

SimpleString& SimpleString::operator=(const SimpleString& s) {
    if (this != &s) replace(s.text, s.length, nullptr, 0);
    return *this;
}

SimpleString& SimpleString::operator=(const char* s) {
    replace(s, text_length(s), nullptr, 0);
    return *this;
}

SimpleString& SimpleString::operator=(char c) {
    replace(&c, 1, nullptr, 0);
    return *this;
}

SimpleString& SimpleString::operator+=(const SimpleString& s) {
    replace(text, length, s.text, s.length);
    return *this;
}

SimpleString& SimpleString::operator+=(const char* s) {
    replace(text, length, s, text_length(s));
    return *this;
}

SimpleString& SimpleString::operator+=(char c) {
    replace(text, length, &c, 1);
    return *this;
}

SimpleString operator+(const SimpleString& a, const SimpleString& b) {
    return SimpleString(a.text, a.length, b.text, b.length);
}

SimpleString operator+(const SimpleString& a, const char* b) {
    return SimpleString(a.text, a.length, b, text_length(b));
}

SimpleString operator+(const char* a, const SimpleString& b) {
    return SimpleString(a, text_length(a), b.text, b.length);
}

SimpleString operator+(const SimpleString& a, char b) { return SimpleString(a.text, a.length, &b, 1); }

SimpleString operator+(char a, const SimpleString& b) { return SimpleString(&a, 1, b.text, b.length); }
