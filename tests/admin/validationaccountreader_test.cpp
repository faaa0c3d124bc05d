// The central server's JSON records, written out by hand, read into account records.
#include "core/jsonhelper.h"
#include "core/validationaccountreader.h"

#include <QJsonArray>
#include <gtest/gtest.h>

namespace {
QJsonObject Parse(const char* text)
{
    return JsonHelper().ToJsonObject(QString::fromUtf8(text));
}

struct DvrCase
{
    const char* json;
    int live;
    int ptz;
    bool config;
};

class DvrPermissions : public ::testing::TestWithParam<DvrCase>
{};

TEST_P(DvrPermissions, AreReadFromDecimalTextOnly)
{
    const auto dvr = ValidationAccountReader::ReadDvr(Parse(GetParam().json));
    EXPECT_EQ(dvr->dvr_permission_live, GetParam().live);
    EXPECT_EQ(dvr->dvr_permission_ptz, GetParam().ptz);
    EXPECT_EQ(dvr->dvr_permission_config, GetParam().config);
    EXPECT_EQ(dvr->type, QStringLiteral("dvr"));
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Records, DvrPermissions, ::testing::Values(
    DvrCase{R"({"dvr_permission_live":"65535","dvr_permission_ptz":"3","dvr_permission_config":"1"})", 65535, 3, true},
    DvrCase{R"({"dvr_permission_live":65535,"dvr_permission_ptz":3,"dvr_permission_config":1})", 0, 0, false},
    DvrCase{R"({"dvr_permission_config":"0"})", 0, 0, false},
    DvrCase{R"({"dvr_permission_config":"7"})", 0, 0, true},
    DvrCase{R"({"dvr_permission_live":"12ab","dvr_permission_ptz":null,"dvr_permission_config":"x"})", 0, 0, false},
    DvrCase{R"({"dvr_permission_live":["1"],"dvr_permission_ptz":{"a":1},"dvr_permission_config":true})", 0, 0, false},
    DvrCase{R"({})", 0, 0, false}));
// clang-format on

TEST(ValidationAccountReader, ReadsARecorderRecord)
{
    const auto dvr = ValidationAccountReader::ReadDvr(
        Parse(R"({"id":17,"parent_id":4,"dvr_name":"Gate","dvr_host":"10.0.0.9","dvr_port":"9000",)"
              R"("dvr_login_id":"admin","dvr_password":"pw","name":"ignored","type":"group"})"));
    EXPECT_EQ(dvr->id, 17);
    EXPECT_EQ(dvr->parent_id, 4);
    EXPECT_EQ(dvr->type, QStringLiteral("dvr"));
    EXPECT_EQ(dvr->name, QStringLiteral("Gate"));
    EXPECT_EQ(dvr->dvr_host, QStringLiteral("10.0.0.9"));
    EXPECT_EQ(dvr->dvr_port, QStringLiteral("9000"));
    EXPECT_EQ(dvr->dvr_login_id, QStringLiteral("admin"));
    EXPECT_EQ(dvr->dvr_password, QStringLiteral("pw"));
}

struct AccountCase
{
    const char* json;
    int id;
    int parentId;
    const char* name;
    const char* userId;
    const char* reportMail;
};

class AccountRecords : public ::testing::TestWithParam<AccountCase>
{};

TEST_P(AccountRecords, MissingOrWrongTypedKeysReadAsZeroOrEmpty)
{
    const auto account = ValidationAccountReader::ReadAccount(Parse(GetParam().json));
    EXPECT_EQ(account->id, GetParam().id);
    EXPECT_EQ(account->parent_id, GetParam().parentId);
    EXPECT_EQ(account->name, QString::fromUtf8(GetParam().name));
    EXPECT_EQ(account->user_id, QString::fromUtf8(GetParam().userId));
    EXPECT_EQ(account->report_mail, QString::fromUtf8(GetParam().reportMail));
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Records, AccountRecords, ::testing::Values(
    AccountCase{R"({"id":5,"parent_id":1,"name":"Ops","user_id":"ops","report_mail":"false","type":"admin"})", 5, 1, "Ops", "ops", "false"},
    AccountCase{R"({"id":"5","parent_id":"1","name":7,"user_id":null,"report_mail":false})", 0, 0, "", "", ""},
    AccountCase{R"({})", 0, 0, "", "", ""},
    AccountCase{R"({"id":9,"parent_id":-3,"name":"\u00c5sa"})", 9, -3, "\xc3\x85sa", "", ""}));
// clang-format on

TEST(ValidationAccountReader, LoginAccountWithoutANameShowsItsUserId)
{
    const auto root = ValidationAccountReader::ReadLoginAccount(
        Parse(R"({"id":1,"type":"root","name":"","user_id":"chief","report_mail":"false","password":"p"})"), true);
    EXPECT_EQ(root->name, QStringLiteral("chief"));
    EXPECT_EQ(root->report_mail, QStringLiteral("false"));
    EXPECT_EQ(root->password, QStringLiteral("p"));
    const auto refresh = ValidationAccountReader::ReadLoginAccount(
        Parse(R"({"id":1,"name":"Chief","user_id":"chief","report_mail":"false"})"), false);
    EXPECT_EQ(refresh->name, QStringLiteral("Chief"));
    EXPECT_EQ(refresh->report_mail, QStringLiteral("true")); // not read on a refresh
}

TEST(ValidationAccountReader, TreeIsWalkedDepthFirstInArrayOrder)
{
    const QJsonObject tree = Parse(R"({"id":1,"type":"root","name":"r","children":[
        {"id":2,"type":"group","name":"g","children":[
            {"id":4,"type":"dvr","dvr_name":"d","name":"x","dvr_permission_live":"1"},
            {"id":5,"type":"normal","name":"n"}]},
        {"id":3,"type":"admin","name":"a","children":"not an array"},
        7,
        {"id":6,"type":"super","name":"s"}]})");
    struct Seen
    {
        int id;
        int parent;
        QString name;
    };
    QList<Seen> seen;
    std::vector<std::unique_ptr<ValidationAccount>> kept;
    ValidationAccountReader::ReadTree(tree, nullptr, [&](std::unique_ptr<ValidationAccount> node, void* parent) {
        const int parentId = parent ? static_cast<ValidationAccount*>(parent)->id : 0;
        seen.append({node->id, parentId, node->name});
        kept.push_back(std::move(node));
        return static_cast<void*>(kept.back().get());
    });
    ASSERT_EQ(seen.size(), 6);
    const int ids[] = {1, 2, 4, 5, 3, 6};
    const int parents[] = {0, 1, 2, 2, 1, 1};
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(seen[i].id, ids[i]);
        EXPECT_EQ(seen[i].parent, parents[i]);
    }
    // A recorder node takes its name from "dvr_name" and reads its recorder keys.
    EXPECT_EQ(seen[2].name, QStringLiteral("d"));
    EXPECT_EQ(kept[2]->dvr_permission_live, 1);
}

TEST(ValidationAccountReader, NestingBeyondTheLimitIsCutOff)
{
    QJsonObject node{{"id", 0}};
    for (int depth = 1; depth <= 200; ++depth)
        node = QJsonObject{{"id", depth}, {"children", QJsonArray{node}}};
    int count = 0;
    std::vector<std::unique_ptr<ValidationAccount>> kept;
    ValidationAccountReader::ReadTree(node, nullptr, [&](std::unique_ptr<ValidationAccount> account, void*) {
        ++count;
        kept.push_back(std::move(account));
        return static_cast<void*>(kept.back().get());
    });
    EXPECT_EQ(count, ValidationAccountReader::kMaxDepth + 1);
}
} // namespace
