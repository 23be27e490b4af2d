#include <gtest/gtest.h>

#include <string>

#include "gui/base/SysUtils.h"
#include "register/core/UItemList.h"

namespace {

// A list of exactly `size` bytes of entries with values.
TItemListBytes ListOf(std::size_t size)
{
    TItemListBytes list;
    while (list.Size() < size) {
        const std::size_t rest = size - list.Size();
        const std::size_t value = rest >= 257 ? 255 : rest - 2;
        list.Add(0xA2, std::string(value, 'x'));
    }
    return list;
}

} // namespace

TEST(ItemList, EntriesAreTagLengthAndValue)
{
    TItemListBytes list;
    list.Add(0xA0, "1");
    list.Add(0xA2, "brot");
    list.Add(0xAA, "");
    list.Add(0xB1, "\x19\x9C");
    EXPECT_EQ(list.Bytes(), std::string("\xA0\x01"
                                        "1"
                                        "\xA2\x04"
                                        "brot"
                                        "\xAA\x00\xB1\x02\x19\x9C",
                                        15));
    list.Clear();
    EXPECT_EQ(list.Size(), 0u);
}

// Tag, length byte and first value byte must all lie within positions 0..32,736.
TEST(ItemList, AnEntryWithAValueStartsAt32734AtMostAnEmptyOneAt32735)
{
    TItemListBytes list = ListOf(32734);
    list.Add(0xA0, "1");
    EXPECT_EQ(list.Size(), 32737u);

    list = ListOf(32735);
    EXPECT_THROW(list.Add(0xA0, "1"), ERangeError);
    EXPECT_EQ(list.Size(), 32735u);
    list.Add(0xAA, "");
    EXPECT_EQ(list.Size(), 32737u);

    list = ListOf(32736);
    EXPECT_THROW(list.Add(0xAB, ""), ERangeError);
    EXPECT_EQ(list.Size(), 32736u);
}

TEST(ItemList, AValueOver255BytesIsARangeError)
{
    TItemListBytes list;
    list.Add(0xA2, std::string(255, 'a'));
    EXPECT_THROW(list.Add(0xA2, std::string(256, 'a')), ERangeError);
    EXPECT_EQ(list.Size(), 257u);
}

// An item is made aside: its entries count from the position they will take in the list.
TEST(ItemList, EntriesMadeAsideCountFromTheirPlaceInTheList)
{
    std::string entries;
    AppendItemEntry(entries, 32730, 0xA0, "1");
    EXPECT_EQ(entries, std::string("\xA0\x01"
                                   "1"));
    EXPECT_THROW(AppendItemEntry(entries, 32732, 0xA2, "x"), ERangeError);
    EXPECT_EQ(entries.size(), 3u);
    AppendItemEntry(entries, 32732, 0xAA, "");
    EXPECT_EQ(entries.size(), 5u);
}

TEST(Quantity, IsNormalisedToMillionthsWithAPoint)
{
    EXPECT_EQ(NormalizeQuantity(""), "1");
    EXPECT_EQ(NormalizeQuantity("1"), "1");
    EXPECT_EQ(NormalizeQuantity("0,5"), "0.5");
    EXPECT_EQ(NormalizeQuantity("2,125"), "2.125");
    EXPECT_EQ(NormalizeQuantity("-3"), "-3");
    EXPECT_EQ(NormalizeQuantity("1,0000004"), "1");
    // The general format: exponent form below 0.0001.
    EXPECT_EQ(NormalizeQuantity("0,0000006"), "1E-6");
    EXPECT_EQ(NormalizeQuantity("0,0001"), "0.0001");
    // Exactly half a millionth: to the even neighbour (7812.5 -> 7812, 23437.5 -> 23438).
    EXPECT_EQ(NormalizeQuantity("0,0078125"), "0.007812");
    EXPECT_EQ(NormalizeQuantity("0,0234375"), "0.023438");
    EXPECT_EQ(NormalizeQuantity("1E20"), "1E20");
    EXPECT_EQ(NormalizeQuantity("-1234567890,123456"), "-1234567890.12346");
}

TEST(Quantity, ThatIsNoNumberRaisesTheGermanConversionError)
{
    try {
        NormalizeQuantity("1.5");
        FAIL() << "no error";
    } catch (const EConvertError& e) {
        EXPECT_STREQ(e.what(), "'1.5' ist kein gültiger Gleitkommawert");
    }
    EXPECT_THROW(NormalizeQuantity("Stück"), EConvertError);
}

TEST(Amount, IsASignAndDigitsOnly)
{
    EXPECT_EQ(AmountValue("199"), 199);
    EXPECT_EQ(AmountValue("-150"), -150);
    EXPECT_EQ(AmountValue("007"), 7);
    EXPECT_EQ(AmountValue("-0"), 0);
    for (const char* bad : {"", "-", "1,5", "$10", " 5", "+5", "99999999999999999999"}) {
        try {
            AmountValue(bad);
            ADD_FAILURE() << bad;
        } catch (const EConvertError& e) {
            EXPECT_EQ(std::string(e.what()), "'" + std::string(bad) + "' ist kein gültiger Integerwert");
        }
    }
}
