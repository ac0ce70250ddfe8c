// SimpleString: construction, assignment, appending (also to itself) and concatenation.
#include "random/simple_string.h"

#include <gtest/gtest.h>

#include <string>

namespace {

void ExpectText(const SimpleString& s, const std::string& expected) {
    EXPECT_EQ(std::string(s.Text()), expected);
    EXPECT_EQ(s.Length(), expected.size());
}

TEST(SimpleStringTest, Construction) {
    ExpectText(SimpleString(), "");
    ExpectText(SimpleString("seeds/"), "seeds/");
    ExpectText(SimpleString(nullptr), "");
    ExpectText(SimpleString(3, 'x'), "xxx");
    ExpectText(SimpleString(0, 'x'), "");
    const SimpleString original("dir/");
    const SimpleString copy(original);
    ExpectText(copy, "dir/");
    EXPECT_NE(copy.Text(), original.Text());
}

TEST(SimpleStringTest, AssignmentReplacesTheContent) {
    SimpleString s("a longer text");
    s = "ab";
    ExpectText(s, "ab");
    s = 'z';
    ExpectText(s, "z");
    const SimpleString other("other");
    s = other;
    ExpectText(s, "other");
    s = s;
    ExpectText(s, "other");
}

TEST(SimpleStringTest, AppendingAlsoToItself) {
    SimpleString s("ab");
    s += SimpleString("cd");
    s += "ef";
    s += 'g';
    ExpectText(s, "abcdefg");
    s += s;
    ExpectText(s, "abcdefgabcdefg");
}

TEST(SimpleStringTest, ConcatenationKeepsTheOrderOfItsParts) {
    const SimpleString a("ab");
    ExpectText(SimpleString() + "mt19937.txt", "mt19937.txt");
    ExpectText(a + SimpleString("cd"), "abcd");
    ExpectText(a + "cd", "abcd");
    ExpectText("cd" + a, "cdab");
    ExpectText(a + 'c', "abc");
    ExpectText('c' + a, "cab");
    ExpectText(a + a, "abab");
    ExpectText(a, "ab");
}

}  // namespace
