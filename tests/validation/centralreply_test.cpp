// How a central server reply reads: refusals, transport failures and the add's new id.
#include "validation/centralreply.h"
#include "validation/centralrequests.h"

#include <QList>
#include <gtest/gtest.h>

namespace {
struct ReplyCase
{
    const char* text;
    bool failed;
    bool addSucceeded;
};

class Replies : public ::testing::TestWithParam<ReplyCase>
{};

TEST_P(Replies, FailureAndAddOutcome)
{
    const CentralReply reply(QString::fromUtf8(GetParam().text));
    EXPECT_EQ(reply.Failed(), GetParam().failed) << GetParam().text;
    EXPECT_EQ(reply.AddSucceeded(), GetParam().addSucceeded) << GetParam().text;
}

INSTANTIATE_TEST_SUITE_P(Texts, Replies,
                         ::testing::Values(ReplyCase{R"({"result":"success","message":"x: a","data":{"id":7}})",
                                                     false, true},
                                           ReplyCase{R"({"result":"fail","message":"no"})", true, false},
                                           // A transport failure delivers nothing: no success path may run on it.
                                           ReplyCase{"", true, false}, ReplyCase{"<html>busy</html>", true, false},
                                           ReplyCase{"[1,2]", true, false},
                                           // An add without a positive new id inserts nothing.
                                           ReplyCase{R"({"result":"success","message":"x: a"})", false, false},
                                           ReplyCase{R"({"result":"success","data":{"id":0}})", false, false},
                                           ReplyCase{R"({"result":"success","data":{"id":-4}})", false, false},
                                           ReplyCase{R"({"result":"success","data":{"id":"9"}})", false, false},
                                           // Replies without a result, like the notice list, are not refusals.
                                           ReplyCase{R"({"total_count":0,"data":[]})", false, false}));

TEST(CentralReply, NameTextFallsBackToTheUserIdSent)
{
    EXPECT_EQ(CentralReply(R"({"message":"Registration success: kim"})").NameText("sent"), QStringLiteral("kim"));
    EXPECT_EQ(CentralReply(R"({"message":"Registered"})").NameText("sent"), QStringLiteral("sent"));
    EXPECT_EQ(CentralReply(R"({"message":"a:b:c"})").NameText("sent"), QStringLiteral(""));
}

TEST(CentralReply, OnlyAMessageOfTwoPartsIsRelayedAsAnEvent)
{
    bool ok = false;
    EXPECT_EQ(CentralReply(R"({"result":"success","message":"Event: door open"})").EventText(&ok),
              QStringLiteral("door open"));
    EXPECT_TRUE(ok);
    CentralReply(R"({"result":"success","message":"Event: at 10:20"})").EventText(&ok);
    EXPECT_FALSE(ok);
    CentralReply(R"({"result":"fail","message":"Event: x"})").EventText(&ok);
    EXPECT_FALSE(ok);
}

struct Sent
{
    int id;
    QString path;
    int tag;
    QByteArray body;
    bool post;
};

TEST(CentralRequests, BodiesPathsAndTags)
{
    QList<Sent> sent;
    CentralRequests requests([&](int id, const QString& path, int tag, const QByteArray& body, bool post) {
        sent.append({id, path, tag, body, post});
    });
    requests.OnNodeNoticeList(2);
    requests.OnNodeLogin("admin", "1234");
    requests.OnNodeLoginRefresh("admin", "1234");
    requests.OnNodeAccountAdd({"2", "", "group", "", "East", "", "", "", "d"});
    requests.OnNodeDvrDelete("3", "2");
    requests.OnNodeSitebook("admin", "1234", 1);
    ASSERT_EQ(sent.size(), 6);
    // clang-format off
    const QList<Sent> expected = {
        {12, "/notice/list", 2, R"({"limit":"30","offset":"60"})", false},
        {20, "/login", 0, R"({"password":"1234","user_id":"admin"})", false},
        {20, "/login", 1, R"({"password":"1234","user_id":"admin"})", false},
        {1, "/account", 1, R"({"description":"d","email":"","name":"East","parent_id":"2","password":"","report_mail":"","type":"group","user_id":""})", true},
        {7, "/dvr/delete", 0, R"({"id":"3","parent_id":"2"})", false},
        {21, "/sitebook", 1, R"({"password":"1234","user_id":"admin"})", false},
    };
    // clang-format on
    for (int i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(sent[i].id, expected[i].id) << i;
        EXPECT_EQ(sent[i].path, expected[i].path) << i;
        EXPECT_EQ(sent[i].tag, expected[i].tag) << i;
        EXPECT_EQ(sent[i].body, expected[i].body) << i;
        EXPECT_EQ(sent[i].post, expected[i].post) << i;
    }
}

TEST(CentralRequests, ASequenceInTheTagKeepsTheCallersValue)
{
    for (int value : {0, 1, 3})
        for (int sequence : {0, 1, 77}) {
            const int tag = CentralRequests::Tag(value, sequence);
            EXPECT_EQ(CentralRequests::TagValue(tag), value);
            EXPECT_EQ(CentralRequests::TagSequence(tag), sequence);
        }
}

TEST(CentralRequests, ANoticeTagKeepsItsPageAndSequence)
{
    QList<int> tags;
    CentralRequests requests([&](int, const QString&, int tag, const QByteArray&, bool) { tags.append(tag); });
    const struct
    {
        int page, sequence;
    } cases[] = {{0, 1}, {2, 5}, {CentralRequests::kLastNoticePage, CentralRequests::kNoticeSequenceMask}};
    for (const auto& c : cases) {
        requests.OnNodeNoticeList(c.page, c.sequence);
        ASSERT_FALSE(tags.isEmpty());
        EXPECT_EQ(CentralRequests::NoticeTagPage(tags.last()), c.page) << c.page;
        EXPECT_EQ(CentralRequests::NoticeTagSequence(tags.last()), c.sequence) << c.page;
        EXPECT_GE(tags.last(), 0) << c.page;
    }
    // The sequence wraps within its bits rather than spilling into the sign.
    EXPECT_EQ(CentralRequests::NoticeTagSequence(
                  CentralRequests::NoticeTag(1, CentralRequests::kNoticeSequenceMask + 1)),
              0);
}
} // namespace
