// The texts controls show and the checks a take applies.

#include "workspace/Exchange.h"
#include "workspace/FieldTable.h"

#include "support/TestText.h"

#include <gtest/gtest.h>

#include <clocale>
#include <set>

namespace tellurim {
namespace {

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
    EXPECT_EQ(ids.size(), 47u);  // every control with a tooltip
    EXPECT_FALSE(fieldByName("NoSuchField").has_value());
}

}  // namespace
}  // namespace tellurim
