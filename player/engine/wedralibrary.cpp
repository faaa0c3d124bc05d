#include "engine/wedralibrary.h"

#include "engine/enginelog.h"

#include <QDir>
#include <QFileInfo>

namespace {
using InitFn = int (*)(int);
using SplitFn = int (*)(const uint8_t*, int, uint8_t*, int, int, int);
using BufferFn = int (*)(uint8_t*, int);
using AdjustFn = int (*)(int, int, int);
} // namespace

bool WedraLibrary::Load(const QString& path, const QString& fallbackFolder, int initCount)
{
    if (path.isEmpty())
        return false;
    m_library.setFileName(path);
    if (!m_library.load() && !fallbackFolder.isEmpty()) {
        // The library may sit in the program's lib folder with its own dependencies beside it.
        m_library.setFileName(QDir(fallbackFolder).filePath(QFileInfo(path).fileName()));
        m_library.load();
    }
    if (!m_library.isLoaded()) {
        qCDebug(lcPlayerEngine) << "no decoder library" << path;
        return false;
    }
    auto init = reinterpret_cast<InitFn>(Resolve("KRO_Init_Decoder"));
    if (!init)
        return false;
    for (int i = 0; i < initCount; ++i)
        init(1);
    return true;
}

bool WedraLibrary::IsLoaded() const
{
    return m_library.isLoaded();
}

void WedraLibrary::Unload()
{
    if (m_library.isLoaded())
        m_library.unload();
}

QFunctionPointer WedraLibrary::Resolve(const char* name)
{
    if (!m_library.isLoaded())
        return nullptr;
    QFunctionPointer function = m_library.resolve(name);
    if (!function) {
        qCWarning(lcPlayerEngine) << "decoder library lacks" << name << "- freed";
        m_library.unload();
    }
    return function;
}

bool WedraLibrary::DecodeSplit(const uint8_t* data, int length, uint8_t* output, int tile, int option, int mode,
                               int* result)
{
    auto split = reinterpret_cast<SplitFn>(Resolve("KRO_DecodeH264_Split"));
    if (!split)
        return false;
    *result = split(data, length, output, tile, option, mode);
    return true;
}

bool WedraLibrary::GetDecodeBuffer(uint8_t* output, int tile)
{
    auto get = reinterpret_cast<BufferFn>(Resolve("KRO_GetDecodeBuffer"));
    if (!get)
        return false;
    get(output, tile);
    return true;
}

bool WedraLibrary::SetBrightness(int value, int tile)
{
    auto set = reinterpret_cast<AdjustFn>(Resolve("KRO_SetBrightness"));
    if (!set)
        return false;
    set(0, value, tile);
    return true;
}

bool WedraLibrary::SetContrast(int value, int tile)
{
    auto set = reinterpret_cast<AdjustFn>(Resolve("KRO_SetContrast"));
    if (!set)
        return false;
    set(0, value, tile);
    return true;
}
