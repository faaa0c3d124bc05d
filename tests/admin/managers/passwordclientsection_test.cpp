// The [PASSWORD_CLIENT] writer and the DES crypt of the passwords. The hashes below were worked
// out beforehand with the traditional DES crypt(3) and the program's salt "Jw".
#include <gtest/gtest.h>

#include "managers/descrypt.h"
#include "managers/passwordclientsection.h"

namespace {

TEST(DesCryptTest, KnownAnswers)
{
    const struct
    {
        const char* password;
        const char* hash;
    } cases[] = {
        {"abc", "JwomVvntvctJw"},
        {"password", "JwsCrLFuHhnWA"},
        {"admin", "JwGNNUyU6EClQ"},
        {"1234567", "Jw5gr07YiOR42"},
        {"12345678", "Jwa.T1MQpegJ6"},
        // Only the first eight bytes count.
        {"123456789", "Jwa.T1MQpegJ6"},
        // "pässwörd" in UTF-8: its first eight bytes are "pässwö".
        {"p\xC3\xA4ssw\xC3\xB6rd", "JwSBv6RagVPIc"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.password);
        EXPECT_EQ(DesCrypt::Hash(QString::fromUtf8(c.password)), QByteArray(c.hash));
    }
    EXPECT_TRUE(DesCrypt::Hash("abc", "!!").isEmpty()); // a salt crypt refuses
}

AccountSet Accounts(std::initializer_list<std::tuple<int, const char*, const char*>> slots)
{
    AccountSet set;
    for (const auto& [slot, id, password] : slots) {
        set.ids[size_t(slot)] = QString::fromUtf8(id);
        set.passwords[size_t(slot)] = QString::fromUtf8(password);
    }
    return set;
}

TEST(PasswordClientSectionTest, ReplacesOnlyTheAccountValues)
{
    const struct
    {
        const char* name;
        QByteArray in;
        AccountSet accounts;
        QByteArray out;
    } cases[] = {
        {"values replaced in place, the rest untouched",
         "; comment\r\n[NETWORK]\r\nport = 9000\r\n[PASSWORD_CLIENT]\r\nclientPasswd0_0 = zz\r\n"
         "clientId0_0=old\r\nother=%U00e4 kept\r\n\r\n[TAIL]\r\nk=v\r\n",
         Accounts({{0, "root", "abc"}}),
         "; comment\r\n[NETWORK]\r\nport = 9000\r\n[PASSWORD_CLIENT]\r\nclientPasswd0_0 =JwomVvntvctJw\r\n"
         "clientId0_0=root\r\nother=%U00e4 kept\r\n\r\n[TAIL]\r\nk=v\r\n"},
        {"missing keys go after the section's last entry", "[PASSWORD_CLIENT]\nclientId1_0=a\n\n[X]\ny=1\n",
         Accounts({{7, "u7", "admin"}}),
         "[PASSWORD_CLIENT]\nclientId1_0=a\nclientId7_0=u7\nclientPasswd7_0=JwGNNUyU6EClQ\n\n[X]\ny=1\n"},
        {"no section: appended at the end, after a last line without its line end", "[X]\ny=1",
         Accounts({{2, "user", "password"}}),
         "[X]\ny=1\n[PASSWORD_CLIENT]\nclientId2_0=user\nclientPasswd2_0=JwsCrLFuHhnWA\n"},
        {"a slot without password or id leaves its keys alone",
         "[PASSWORD_CLIENT]\nclientId3_0=keep\nclientPasswd3_0=keep\n", Accounts({{3, "x", ""}, {4, "", "y"}}),
         "[PASSWORD_CLIENT]\nclientId3_0=keep\nclientPasswd3_0=keep\n"},
        {"no accounts and no section: unchanged", "[X]\n", AccountSet(), "[X]\n"},
        {"a line break typed into an id does not make a new line", "[PASSWORD_CLIENT]\n",
         Accounts({{1, "a\nb=c", "abc"}}),
         "[PASSWORD_CLIENT]\nclientId1_0=a b=c\nclientPasswd1_0=JwomVvntvctJw\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        QByteArray out;
        ASSERT_TRUE(PasswordClientSection::Apply(c.in, c.accounts, &out));
        EXPECT_EQ(out, c.out);
    }
}

TEST(PasswordClientSectionTest, RefusesAnOversizedFile)
{
    QByteArray out = "untouched";
    const QByteArray big(PasswordClientSection::kMaxSize + 1, 'x');
    EXPECT_FALSE(PasswordClientSection::Apply(big, Accounts({{0, "a", "b"}}), &out));
    EXPECT_EQ(out, QByteArray("untouched"));
}

} // namespace
