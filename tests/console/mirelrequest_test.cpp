// The console live connection's requests, byte for byte as written out from the message tables.
#include <gtest/gtest.h>

#include "console/mirelrequest.h"

namespace {

QByteArray Bytes(std::initializer_list<int> values)
{
    QByteArray b;
    for (int v : values)
        b.append(char(v));
    return b;
}

TEST(MirelRequest, LoginHoldsIdAndPassword)
{
    // id "admin" (5 bytes) and password "1234" (4 bytes): 24 bytes.
    const QByteArray expected = Bytes({0x00, 0x00, 0x00, 0x14, 0x00, 0xA1, 0x01, 0x00, 0x00, 0x18, 0x00, 0x00,
                                       0x00, 0x05, 0x04, 'a',  'd',  'm',  'i',  'n',  '1',  '2',  '3',  '4'});
    EXPECT_EQ(MirelRequest::Login(0, QStringLiteral("admin"), QStringLiteral("1234")), expected);
}

TEST(MirelRequest, LoginTooLongForTheMessageIsRefused)
{
    EXPECT_FALSE(MirelRequest::Login(0, QString(30, QLatin1Char('u')), QString(19, QLatin1Char('p'))).isEmpty());
    EXPECT_TRUE(MirelRequest::Login(0, QString(30, QLatin1Char('u')), QString(20, QLatin1Char('p'))).isEmpty());
    // Counted in UTF-8 bytes: 25 two-byte letters are 50 bytes.
    EXPECT_TRUE(MirelRequest::Login(0, QString(25, QChar(0x00E9)), QString()).isEmpty());
}

TEST(MirelRequest, FixedRequests)
{
    struct Case
    {
        const char* what;
        QByteArray request;
        QByteArray expected;
    };
    const Case cases[] = {
        {"model information", MirelRequest::ModelInfo(0),
         Bytes({0, 0, 0, 0x0C, 0, 0xA1, 0x1C, 0, 0, 0x10, 0, 0, 0, 0, 0, 0})},
        {"live start of channel 2 at 30", MirelRequest::StartLive(1, 1 << 2, 30),
         Bytes({0, 0, 0, 0x10, 0, 0xA1, 0x87, 0, 1, 0x14, 0, 0, 0x04, 0x00, 30, 0, 3, 0, 0, 0})},
        {"live start of channel 9 with sequence 127", MirelRequest::StartLive(127, 1 << 9, 30),
         Bytes({0, 0, 0, 0x10, 0, 0xA1, 0x87, 0, 127, 0x14, 0, 0, 0x00, 0x02, 30, 0, 3, 0, 0, 0})},
        {"VDA data of channel 5", MirelRequest::VdaData(3, 5),
         Bytes({0, 0, 0, 0x10, 0, 0xA1, 0xB6, 0, 3, 0x14, 0, 0, 5, 0, 0, 0, 0, 0, 0, 0})},
        {"keep-alive", MirelRequest::KeepAlive(4), Bytes({0, 0, 0, 0x08, 0, 0xA1, 0x2A, 0, 4, 0x0C, 0, 0})},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.request.toHex(' '), c.expected.toHex(' ')) << c.what;
}

} // namespace
