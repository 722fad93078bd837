#include "TextScanner.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>

TEST(TextScanner, LiteralsStopAtTheFirstMismatchWithoutConsumingIt)
{
    const std::string t = "parameter";
    TextScanner s(t.data(), t.size());
    EXPECT_FALSE(s.Literal("param x"));
    // "param" matched, the white-space directive matched nothing, 'x' did not match 'e'.
    EXPECT_EQ(s.Position(), 5u);
    EXPECT_TRUE(s.Literal("eter"));
    EXPECT_TRUE(s.AtEnd());
}

TEST(TextScanner, NumbersIgnoreTheLocaleAndSaturate)
{
    // A host may switch the process to a locale with a decimal comma.
    const char* old = std::setlocale(LC_NUMERIC, nullptr);
    const std::string saved = old ? old : "C";
    std::setlocale(LC_NUMERIC, "de_DE.UTF-8");
    const std::string t = " 0.5 +2 -7x 99999999999 1e-999 -1e999 . x";
    TextScanner s(t.data(), t.size());
    double d = 0;
    int i = 0;
    EXPECT_TRUE(s.Double(d));
    EXPECT_EQ(d, 0.5);
    EXPECT_TRUE(s.Double(d));
    EXPECT_EQ(d, 2.0);
    EXPECT_TRUE(s.Int(i));
    EXPECT_EQ(i, -7);
    EXPECT_TRUE(s.Literal("x"));
    EXPECT_TRUE(s.Int(i));
    EXPECT_EQ(i, 2147483647);
    EXPECT_TRUE(s.Double(d));
    EXPECT_EQ(d, 0.0);
    EXPECT_TRUE(s.Double(d));
    EXPECT_TRUE(std::isinf(d) && d < 0);
    EXPECT_FALSE(s.Double(d));
    EXPECT_FALSE(s.Int(i));
    EXPECT_TRUE(s.Literal(". x"));
    std::setlocale(LC_NUMERIC, saved.c_str());
}

TEST(TextScanner, WordsAreWholeRunsOfNonSpace)
{
    const std::string t = "\t\r\n abc\x01"
                          "def ghi";
    TextScanner s(t.data(), t.size());
    std::string w;
    EXPECT_TRUE(s.Word(w));
    EXPECT_EQ(w, "abc\x01"
                 "def");
    EXPECT_TRUE(s.Word(w));
    EXPECT_EQ(w, "ghi");
    EXPECT_FALSE(s.Word(w));
}
