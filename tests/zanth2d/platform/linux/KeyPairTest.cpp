#include <gtest/gtest.h>

#include "platform/linux/KeyPair.h"

using namespace zanth2d;

namespace {

std::int32_t keyFor(char16_t c)
{
    return qtKeyForCharacters(std::u16string(1, c));
}

} // namespace

TEST(KeyTable, holdsFiftyNineRowsInStrictlyAscendingCharacterOrder)
{
    std::size_t size = 0;
    const KeyPair* entries = keyPairEntries(&size);
    ASSERT_EQ(59u, size);
    for (std::size_t i = 1; i < size; ++i) {
        EXPECT_LT(entries[i - 1].character, entries[i].character) << "row " << i;
    }
}

TEST(KeyTable, mapsEditingAndControlCharacters)
{
    EXPECT_EQ(0x01000005, keyFor(3));
    EXPECT_EQ(0x01000003, keyFor(8));
    EXPECT_EQ(0x01000001, keyFor(9));
    EXPECT_EQ(0x01000004, keyFor(10));
    EXPECT_EQ(0x01000004, keyFor(13));
    EXPECT_EQ(0x01000002, keyFor(25));
    EXPECT_EQ(0x01000000, keyFor(27));
    EXPECT_EQ(0x01000003, keyFor(127));
}

TEST(KeyTable, mapsTheEndsOfThePrivateRange)
{
    EXPECT_EQ(0x01000013, keyFor(0xF700));
    EXPECT_EQ(0x01000007, keyFor(0xF728));
    EXPECT_EQ(0x0100000A, keyFor(0xF731));
    EXPECT_EQ(0x01000058, keyFor(0xF746));
}

TEST(KeyTable, mapsAllThirtyFiveFunctionKeys)
{
    for (int n = 1; n <= 35; ++n) {
        EXPECT_EQ(0x01000030 + n - 1, keyFor(static_cast<char16_t>(0xF704 + n - 1))) << "F" << n;
    }
}

TEST(KeyTable, gapsInThePrivateRangeAreTheirOwnKey)
{
    EXPECT_EQ(0xF72A, keyFor(0xF72A));
    EXPECT_EQ(0xF732, keyFor(0xF732));
}

TEST(KeyMapping, lowerCaseLetterGivesUpperCaseKey)
{
    EXPECT_EQ(0x41, keyFor(u'a'));
    EXPECT_EQ(0x5A, keyFor(u'z'));
    EXPECT_EQ(0xC9, keyFor(u'\u00e9'));
}

TEST(KeyMapping, shiftedLetterAndDigitsStayAsTheyAre)
{
    EXPECT_EQ(0x41, keyFor(u'A'));
    EXPECT_EQ(0x31, keyFor(u'1'));
    EXPECT_EQ(0x20, keyFor(u' '));
}

TEST(KeyMapping, moreThanOneUnitIsUnknownKey)
{
    EXPECT_EQ(kZTUnknownQtKey, qtKeyForCharacters(u"ab"));
    EXPECT_EQ(kZTUnknownQtKey, qtKeyForCharacters(std::u16string{0xD83D, 0xDE00}));
}
