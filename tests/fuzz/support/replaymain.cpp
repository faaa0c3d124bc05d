// The entry of a fuzz target built without libFuzzer: it runs the target once over every input
// named on the command line (a folder stands for the files in it, in name order), the way
// libFuzzer replays a corpus, so that a compiler without libFuzzer still builds every target and
// replays its seeds and past findings. Returns 1 when an input cannot be read or names nothing.
#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>

#include <cstdint>
#include <cstdio>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);
// Defined by most targets (or by coreinitialize.cpp); a target without one needs no set-up.
extern "C" __attribute__((weak)) int LLVMFuzzerInitialize(int* argc, char*** argv);

namespace {

// The files an argument stands for; false when it names nothing readable.
bool InputsOf(const QString& argument, QStringList* files)
{
    const QFileInfo info(argument);
    if (info.isFile()) {
        *files << info.filePath();
        return true;
    }
    if (!info.isDir())
        return false;
    const QDir folder(argument);
    const QStringList names = folder.entryList(QDir::Files, QDir::Name);
    for (const QString& name : names)
        *files << folder.filePath(name);
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    if (LLVMFuzzerInitialize)
        LLVMFuzzerInitialize(&argc, &argv);
    QStringList files;
    for (int i = 1; i < argc; ++i) {
        if (!InputsOf(QFile::decodeName(argv[i]), &files)) {
            std::fprintf(stderr, "%s: no input at %s\n", argv[0], argv[i]);
            return 1;
        }
    }
    if (files.isEmpty()) {
        std::fprintf(stderr, "%s: no inputs to replay\n", argv[0]);
        return 1;
    }
    for (const QString& path : files) {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly)) {
            std::fprintf(stderr, "%s: cannot read %s\n", argv[0], qPrintable(path));
            return 1;
        }
        const QByteArray input = file.readAll();
        LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t*>(input.constData()), size_t(input.size()));
    }
    std::printf("%s: replayed %lld inputs\n", argv[0], static_cast<long long>(files.size()));
    return 0;
}
