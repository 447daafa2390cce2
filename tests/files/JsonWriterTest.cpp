#include "files/JsonWriter.h"
#include "support/JsonCheck.h"

#include <gtest/gtest.h>

#include <limits>

namespace tellurim {
namespace {

TEST(JsonWriter, NestedValuesGetTheirCommasAndNonFiniteNumbersBecomeNull)
{
    std::string out;
    JsonWriter json(out);
    json.beginObject().key("a").number(1.5f).key("b").beginArray().integer(-3).boolean(true).null();
    json.beginObject().endObject().endArray();
    json.key("c").number(std::numeric_limits<float>::infinity()).key("d").number(0.30257, 2).endObject();
    EXPECT_EQ(out, R"({"a":1.5,"b":[-3,true,null,{}],"c":null,"d":0.30})");
    EXPECT_TRUE(JsonCheck::isValue(out));
}

TEST(JsonWriter, TextsAreEscapedAndKeptValidUtf8)
{
    std::string out;
    appendJsonString(out, "a\"b\\c\nd\x01\x7f");
    EXPECT_EQ(out, R"("a\"b\\c\nd\u0001\u007f")");
    out.clear();
    // Valid sequences pass whole; a stray byte, a truncated sequence, an
    // overlong form and a surrogate each become U+FFFD.
    appendJsonString(out, "\xC3\xA9\xE2\x82\xAC|\xFF|\xE2\x82|\xC0\xAF|\xED\xA0\x80");
    EXPECT_EQ(out, "\"\xC3\xA9\xE2\x82\xAC|\xEF\xBF\xBD|\xEF\xBF\xBD\xEF\xBF\xBD|\xEF\xBF\xBD\xEF\xBF\xBD|"
                   "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\"");
    EXPECT_TRUE(JsonCheck::isValue(out));
}

TEST(JsonWriter, CheckerUsedByTheTestsRefusesMalformedText)
{
    for (const char* bad : {"{", "{\"a\" 1}", "[1,]", "{\"a\":1,}", "01", "1.", "\"a\nb\"", "nul", "{} {}", "'a'"})
        EXPECT_FALSE(JsonCheck::isValue(bad)) << bad;
    EXPECT_TRUE(JsonCheck::isValue(" [0, -1.5e+3, \"\\u00e9\", {\"k\": [false]}] "));
}

}  // namespace
}  // namespace tellurim
