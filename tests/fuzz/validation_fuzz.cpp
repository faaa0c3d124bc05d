// libFuzzer target for what the validation and central servers send: the input is cut in two at
// its first byte's value; both halves go through the line reader as two packets (every line
// parsed, its fields read as text and as numbers), and the whole input is read as a JSON tree
// reply into account records, as the account tree reads a login reply, and as one recorder
// record and one login account.
#include "core/jsonhelper.h"
#include "core/validationaccountreader.h"
#include "core/validationlinereader.h"
#include "fuzz/support/fuzzapplication.h"

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <vector>

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    fuzzapplication::Start(fuzzapplication::Kind::Core);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray input(reinterpret_cast<const char*>(data), int(size));
    const int cut = size > 0 ? std::min<int>(data[0], input.size()) : 0;
    ValidationLineReader reader;
    for (const QByteArray& packet : {input.left(cut), input.mid(cut)}) {
        for (const ValidationLine& line : reader.Feed(packet)) {
            if (line.FieldCount() > ValidationLine::kMaxFields)
                std::abort();
            for (int field = 0; field <= line.FieldCount(); ++field)
                (void)line.IntField(field);
            (void)line.Command();
        }
        if (reader.PendingBytes() > ValidationLineReader::kMaxLineBytes)
            std::abort();
    }

    const QJsonObject object = JsonHelper().ToJsonObject(QString::fromUtf8(input));
    // The information replies' readers and the login reply's own account, as the console reads them.
    (void)ValidationAccountReader::ReadDvr(object);
    (void)ValidationAccountReader::ReadLoginAccount(object, size % 2 == 0);
    std::vector<std::unique_ptr<ValidationAccount>> nodes;
    ValidationAccountReader::ReadTree(object, nullptr,
                                      [&](std::unique_ptr<ValidationAccount> node, void*) {
                                          nodes.push_back(std::move(node));
                                          return static_cast<void*>(nodes.back().get());
                                      });
    return 0;
}
