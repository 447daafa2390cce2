// The texts controls show and the checks a take applies.

#include "workspace/Exchange.h"
#include "workspace/FieldTable.h"

#include "support/TestText.h"

#include <gtest/gtest.h>

#include <clocale>
#include <set>

namespace tellurim {
namespace {

TEST(Exchange, SinglesShowSixSignificantDigitsLikePrintf)
{
    EXPECT_EQ(formatSingle(98.4252f), "98.4252");
    EXPECT_EQ(formatSingle(30.508333f), "30.5083");
    EXPECT_EQ(formatSingle(1000000.0f), "1e+06");
    EXPECT_EQ(formatSingle(999999.0f), "999999");
    EXPECT_EQ(formatSingle(0.0001f), "0.0001");
    EXPECT_EQ(formatSingle(0.00001f), "1e-05");
    EXPECT_EQ(formatSingle(-600.0f), "-600");
    EXPECT_EQ(formatSingle(0.0f), "0");
    EXPECT_EQ(formatSingle(2026.2f), "2026.2");
    // Compared with the C library over a spread of magnitudes and digits.
    float value = 1.0e-7f;
    for (int i = 0; i < 4000; ++i) {
        ASSERT_EQ(formatSingle(value), cFormat("%.6g", static_cast<double>(value))) << value;
        ASSERT_EQ(formatSingle(-value), cFormat("%.6g", -static_cast<double>(value))) << value;
        value *= 1.0137f;
    }
}

TEST(Exchange, ShownTextsDoNotDependOnTheProcessLocale)
{
    const char* german = std::setlocale(LC_NUMERIC, "de_DE.UTF-8");
    if (german == nullptr)
        german = std::setlocale(LC_NUMERIC, "fr_FR.UTF-8");
    EXPECT_EQ(formatSingle(30.5083f), "30.5083");
    EXPECT_EQ(parseSingle("30.5083").value, 30.5083f);
    EXPECT_EQ(parseSingle("30,5083").status, ParseStatus::NotANumber);
    std::setlocale(LC_NUMERIC, "C");
}

TEST(Exchange, SinglesAcceptWholeDecimalNumbersOnly)
{
    EXPECT_EQ(parseSingle("30.5083").value, 30.5083f);
    EXPECT_EQ(parseSingle("  -12.5e1 ").value, -125.0f);
    EXPECT_EQ(parseSingle("+7").value, 7.0f);
    EXPECT_EQ(parseSingle(".5").value, 0.5f);
    EXPECT_EQ(parseSingle("5.").value, 5.0f);
    EXPECT_EQ(parseSingle("1e-60").status, ParseStatus::Ok);  // underflows to zero
    EXPECT_EQ(parseSingle("1e-60").value, 0.0f);
    for (const char* bad : {"", " ", "abc", "12abc", "1 2", "--1", "+-1", "inf", "-nan", "0x1p3", "1e", "."})
        EXPECT_EQ(parseSingle(bad).status, ParseStatus::NotANumber) << bad;
    EXPECT_EQ(parseSingle("1e39").status, ParseStatus::TooLarge);
    EXPECT_EQ(parseSingle("-1e400").status, ParseStatus::TooLarge);
    EXPECT_EQ(parseSingle("1" + std::string(400, '0')).status, ParseStatus::TooLarge);
}

TEST(Exchange, IntegersAcceptSignedDigitsOnly)
{
    EXPECT_EQ(parseInteger("42").value, 42);
    EXPECT_EQ(parseInteger(" -7 ").value, -7);
    EXPECT_EQ(parseInteger("+3").value, 3);
    EXPECT_EQ(parseInteger("2147483647").value, 2147483647);
    for (const char* bad : {"", "4.0", "4e1", "12abc", "abc", "- 4", "0x10"})
        EXPECT_EQ(parseInteger(bad).status, ParseStatus::NotANumber) << bad;
    EXPECT_EQ(parseInteger("2147483648").status, ParseStatus::TooLarge);
    EXPECT_EQ(parseInteger("-99999999999").status, ParseStatus::TooLarge);
}

TEST(Exchange, MessagesUseTheFrameworkTextsAndIcons)
{
    const Message single = takeMessage(fieldSpec(Field::ALTF), TakeProblem::NotANumber);
    EXPECT_EQ(single.text, "Please enter a number.");
    EXPECT_EQ(single.icon, Icon::None);
    EXPECT_EQ(single.caption, "Tellurim");
    EXPECT_EQ(takeMessage(fieldSpec(Field::IDAY), TakeProblem::NotANumber).text, "Please enter an integer.");

    const Message range = takeMessage(fieldSpec(Field::ALTF), TakeProblem::OutOfRange);
    EXPECT_EQ(range.icon, Icon::Exclamation);
    EXPECT_EQ(range.text, "Please enter a number between -600 and 3e+06.");
    EXPECT_EQ(takeMessage(fieldSpec(Field::DDATE), TakeProblem::OutOfRange).text,
              "Please enter a number between 1000 and 3000.");
    EXPECT_EQ(takeMessage(fieldSpec(Field::ILOND), TakeProblem::OutOfRange).text,
              "Please enter an integer between 0 and 180.");
}

TEST(FieldTable, TabOrderFollowsTheRowsOfTheWindow)
{
    std::vector<int> ids;
    for (const Field field : tabOrder())
        ids.push_back(fieldSpec(field).controlId);
    EXPECT_EQ(ids, (std::vector<int>{1049, 1000, 1001, 1003, 1004, 1023, 1005, 1006, 1007, 1008, 1024,
                                     1009, 1010, 1011, 1012, 1013, 1014}));
    for (const Field field : tabOrder())
        EXPECT_TRUE(fieldSpec(field).editable) << fieldSpec(field).name;
}

TEST(FieldTable, NamesAndIdsAreUniqueAndEveryControlHasATooltip)
{
    std::set<std::string_view> names;
    std::set<int> ids;
    for (const FieldSpec& spec : fieldTable()) {
        EXPECT_TRUE(names.insert(spec.name).second) << spec.name;
        EXPECT_TRUE(ids.insert(spec.controlId).second) << spec.name;
        EXPECT_FALSE(spec.toolTip.empty()) << spec.name;
        EXPECT_EQ(fieldByName(spec.name), spec.field);
    }
    for (const ButtonSpec& spec : buttonTable()) {
        EXPECT_TRUE(names.insert(spec.name).second) << spec.name;
        EXPECT_TRUE(ids.insert(spec.controlId).second) << spec.name;
        EXPECT_FALSE(spec.toolTip.empty()) << spec.name;
    }
    EXPECT_EQ(ids.size(), 46u);  // every control with a tooltip
    EXPECT_FALSE(fieldByName("NoSuchField").has_value());
}

}  // namespace
}  // namespace tellurim
