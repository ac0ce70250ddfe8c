// SimpleString: a minimal owned character string (seed directory and seed-file paths).
#pragma once

#include <cstdint>

class SimpleString {
public:
    SimpleString();
    SimpleString(const char* s);  // a null pointer gives the empty string
    SimpleString(unsigned int n, char c);
    SimpleString(const SimpleString& s);
    ~SimpleString();

    SimpleString& operator=(const SimpleString& s);
    SimpleString& operator=(const char* s);
    SimpleString& operator=(char c);
    SimpleString& operator+=(const SimpleString& s);
    SimpleString& operator+=(const char* s);
    SimpleString& operator+=(char c);

    const char* Text() const { return text; }
    std::uint32_t Length() const { return length; }

    friend SimpleString operator+(const SimpleString& a, const SimpleString& b);
    friend SimpleString operator+(const SimpleString& a, const char* b);
    friend SimpleString operator+(const char* a, const SimpleString& b);
    friend SimpleString operator+(const SimpleString& a, char b);
    friend SimpleString operator+(char a, const SimpleString& b);

private:
    // Holds a then b.
    SimpleString(const char* a, std::uint32_t na, const char* b, std::uint32_t nb);
    void replace(const char* a, std::uint32_t na, const char* b, std::uint32_t nb);

    char* text;            // owned, length + 1 characters, NUL-terminated
    std::uint32_t length;  // characters before the NUL
};

SimpleString operator+(const SimpleString& a, const SimpleString& b);
SimpleString operator+(const SimpleString& a, const char* b);
SimpleString operator+(const char* a, const SimpleString& b);
SimpleString operator+(const SimpleString& a, char b);
SimpleString operator+(char a, const SimpleString& b);
