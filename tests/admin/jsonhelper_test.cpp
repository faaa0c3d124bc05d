#include "core/jsonhelper.h"

#include <gtest/gtest.h>

namespace {
struct ObjectCase
{
    const char* text;
    int keys;
};

class JsonToObject : public ::testing::TestWithParam<ObjectCase>
{};

TEST_P(JsonToObject, GivesTheObjectOrAnEmptyOne)
{
    EXPECT_EQ(JsonHelper().ToJsonObject(QString::fromUtf8(GetParam().text)).size(), GetParam().keys);
}

INSTANTIATE_TEST_SUITE_P(Texts, JsonToObject,
                         ::testing::Values(ObjectCase{"", 0}, ObjectCase{"[1,2]", 0}, ObjectCase{"{\"a\":", 0},
                                           ObjectCase{"\"text\"", 0}, ObjectCase{"{\"a\":1,\"b\":[]}", 2},
                                           ObjectCase{" {\"\xc3\xa4\":\"\xe2\x82\xac\"} ", 1}));

TEST(JsonHelper, KeysComeOutSortedWhateverTheInsertionOrder)
{
    JsonHelper json;
    QJsonObject first;
    json.Insert(first, QStringLiteral("user_id"), QStringLiteral("bob"));
    json.Insert(first, QStringLiteral("password"), QStringLiteral("pw"));
    QJsonObject second;
    json.Insert(second, QStringLiteral("password"), QStringLiteral("pw"));
    json.Insert(second, QStringLiteral("user_id"), QStringLiteral("bob"));
    EXPECT_EQ(json.ToJsonText(first), QStringLiteral(R"({"password":"pw","user_id":"bob"})"));
    EXPECT_EQ(json.ToJsonText(second), json.ToJsonText(first));
}

TEST(JsonHelper, AStringValueStaysAString)
{
    JsonHelper json;
    QJsonObject object;
    json.Insert(object, QStringLiteral("id"), QStringLiteral("12"));
    json.Insert(object, QStringLiteral("n"), 3);
    EXPECT_EQ(json.ToJsonText(object), QStringLiteral(R"({"id":"12","n":3})"));
}
} // namespace
