// libFuzzer target for a recorder's settings file (download.ini, as the recorder sent it) going
// through the account writer: the accounts are written into it, and writing them again into the
// result must change nothing.
#include "fuzz/support/fuzzapplication.h"
#include "managers/passwordclientsection.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    fuzzapplication::Start(fuzzapplication::Kind::Core);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray input(reinterpret_cast<const char*>(data), int(size));
    AccountSet accounts;
    accounts.ids[0] = QStringLiteral("root");
    accounts.passwords[0] = QStringLiteral("abc");
    // The id of slot 5 comes from the input's first bytes, line breaks and all.
    accounts.ids[5] = QString::fromUtf8(input.left(6));
    accounts.passwords[5] = QStringLiteral("password");
    QByteArray once;
    if (!PasswordClientSection::Apply(input, accounts, &once))
        return 0;
    if (!once.contains("JwomVvntvctJw") || !once.contains("[PASSWORD_CLIENT]"))
        std::abort();
    QByteArray twice;
    if (!PasswordClientSection::Apply(once, accounts, &twice) || twice != once)
        std::abort();
    return 0;
}
