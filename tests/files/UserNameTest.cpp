#include "files/UserName.h"

#include <gtest/gtest.h>

namespace tellurim {
namespace {

TEST(UserName, FullNameIsTheCommentUpToItsFirstCommaElseTheLoginName)
{
    EXPECT_EQ(userNameFrom("Ada Lovelace,Room 12,555-0100,", "ada"), "Ada Lovelace");
    EXPECT_EQ(userNameFrom("  Grace Hopper  ", "grace"), "Grace Hopper");
    EXPECT_EQ(userNameFrom("", "ada"), "ada");
    EXPECT_EQ(userNameFrom(",,,", "ada"), "ada");
    EXPECT_EQ(userNameFrom("   ,Room 1", "ada"), "ada");
    EXPECT_EQ(userNameFrom("", ""), "");
}

}  // namespace
}  // namespace tellurim
