// Names between code page 1252 (in packs) and UTF-8 (on Linux).

#include "engine/cp1252.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(Cp1252, ConvertsBothWays) {
    struct Row {
        std::string cp1252;
        std::string utf8;
    };
    const Row rows[] = {
        {"plain.txt", "plain.txt"},
        {"caf\xE9", "caf\xC3\xA9"},
        {"\x80", "\xE2\x82\xAC"},  // euro sign
        {"\x81", "\xC2\x81"},      // undefined: the C1 control of the same value
        {"\x9F", "\xC5\xB8"},      // Y with diaeresis
        {"\xA0\xFF", "\xC2\xA0\xC3\xBF"},
        {"\x99", "\xE2\x84\xA2"},  // trade mark sign
    };
    for (const Row& row : rows) {
        EXPECT_EQ(Cp1252ToUtf8(row.cp1252), row.utf8);
        std::string back;
        EXPECT_TRUE(Utf8ToCp1252(row.utf8, &back)) << row.utf8;
        EXPECT_EQ(back, row.cp1252);
    }
}

TEST(Cp1252, EveryByteRoundTrips) {
    std::string all;
    for (int byte = 0; byte < 256; ++byte) {
        all.push_back(static_cast<char>(byte));
    }
    std::string back;
    ASSERT_TRUE(Utf8ToCp1252(Cp1252ToUtf8(all), &back));
    EXPECT_EQ(back, all);
}

TEST(Cp1252, RefusesWhatItCannotStoreAndMalformedUtf8) {
    const char* rows[] = {
        "\xE4\xB8\xAD",      // a Chinese character
        "\xC4\x80",          // A with macron: not in the code page
        "\xF0\x9F\x98\x80",  // an emoji
        "\xC3",              // cut off
        "\xC0\xAF",          // overlong '/'
        "\xE0\x80\xAF",      // overlong '/'
        "\xED\xA0\x80",      // a surrogate
        "\xF4\x90\x80\x80",  // beyond U+10FFFF
        "\x80",              // a lone continuation byte
        "a\xFF\x62",         // a byte no UTF-8 sequence starts with, then 'b'
    };
    for (const char* utf8 : rows) {
        std::string out;
        EXPECT_FALSE(Utf8ToCp1252(utf8, &out)) << utf8;
    }
}

TEST(Cp1252, UpperCase) {
    const uint8_t rows[]
                      [2] = {
                          {'a', 'A'},   {'z', 'Z'},   {'A', 'A'},   {'1', '1'},
                          {0xE9, 0xC9}, {0xFE, 0xDE}, {0xFF, 0x9F}, {0x9A, 0x8A},
                          {0x9C, 0x8C}, {0x9E, 0x8E}, {0xF7, 0xF7},  // division sign has no case
                          {0xDF, 0xDF},  // sharp s has no single upper-case letter
                      };
    for (const auto& row : rows) {
        EXPECT_EQ(Cp1252UpperCase(row[0]), row[1]) << int{row[0]};
    }
}

}  // namespace
