#include "engine/h264library.h"

#include "engine/enginelog.h"
#include "engine/sizecode.h"

namespace {
bool ValidContext(int context)
{
    return context >= 0 && context < kH264Contexts;
}
} // namespace

H264Library::H264Library() = default;

H264Library::~H264Library()
{
    Release();
}

bool H264Library::Load(const QStringList& candidates)
{
    for (const QString& name : candidates) {
        if (name.isEmpty())
            continue;
        m_library.setFileName(name);
        if (m_library.load()) {
            m_planes = reinterpret_cast<PlanesFn>(m_library.resolve("KRO_H264_Planes"));
            LoadHolding();
            qCDebug(lcPlayerEngine) << "H.264 decoder library" << m_library.fileName();
            return true;
        }
        qCDebug(lcPlayerEngine) << "no H.264 decoder library at" << name << m_library.errorString();
    }
    return false;
}

void H264Library::LoadHolding()
{
    auto hold = reinterpret_cast<HoldPlanesFn>(m_library.resolve("KRO_H264_HoldPlanes"));
    auto release = reinterpret_cast<ReleasePictureFn>(m_library.resolve("KRO_H264_ReleasePicture"));
    if (!m_planes || !hold || !release)
        return;
    std::shared_ptr<QLibrary> keeper(new QLibrary(m_library.fileName()), [](QLibrary* library) {
        library->unload();
        delete library;
    });
    if (!keeper->load())
        return;
    m_keeper = std::move(keeper);
    m_holdPlanes = hold;
    m_releasePicture = release;
}

bool H264Library::IsLoaded() const
{
    return m_library.isLoaded();
}

QString H264Library::FileName() const
{
    return m_library.fileName();
}

bool H264Library::InitContext(int context)
{
    if (!ValidContext(context) || !IsLoaded())
        return false;
    auto init = reinterpret_cast<InitFn>(m_library.resolve("KRO_H264_Init"));
    if (!init)
        return false;
    H264Context& record = m_contexts[size_t(context)];
    record.words[5] = 1;
    record.words[6] = 2;
    const bool ok = init(&record) == 0;
    m_initialised[size_t(context)] = ok;
    return ok;
}

void H264Library::ReleaseContext(int context)
{
    if (!ValidContext(context) || !IsLoaded() || !m_initialised[size_t(context)])
        return;
    if (auto release = reinterpret_cast<ReleaseFn>(m_library.resolve("KRO_H264_Release")))
        release(&m_contexts[size_t(context)]);
    m_initialised[size_t(context)] = false;
}

int H264Library::Decode(int context, const uint8_t* data, int length, uint8_t* output, int outputCapacity)
{
    if (!ValidContext(context) || !IsLoaded() || !m_initialised[size_t(context)])
        return int(H264Status::NoLibrary);
    auto decode = reinterpret_cast<DecodeFn>(m_library.resolve("KRO_H264_Decode"));
    if (!decode)
        return int(H264Status::NoLibrary);
    H264Context& record = m_contexts[size_t(context)];
    // The library asks for the same data again (1) or for a fresh context first (-5); a bounded
    // number of rounds keeps a misbehaving library from holding the thread.
    for (int round = 0; round < 8; ++round) {
        const int status = decode(&record, data, length, output, outputCapacity);
        switch (status) {
        case int(H264Status::Picture):
        case int(H264Status::PictureToo): return SizeCode::Encode(record.words[2], record.words[3]);
        case int(H264Status::Again): continue;
        case int(H264Status::ResetA):
        case int(H264Status::ResetB):
        case int(H264Status::ResetC):
            ReleaseContext(context);
            InitContext(context);
            return status;
        case int(H264Status::ResetRetry):
            ReleaseContext(context);
            if (!InitContext(context))
                return int(H264Status::NoLibrary);
            continue;
        default: return status;
        }
    }
    return int(H264Status::NoLibrary);
}

bool H264Library::CanKeepPictures() const
{
    return IsLoaded() && m_planes;
}

bool H264Library::Planes(int context, PlaneView* view)
{
    if (!ValidContext(context) || !view || !CanKeepPictures() || !m_initialised[size_t(context)])
        return false;
    const uint8_t* planes[3] = {nullptr, nullptr, nullptr};
    int strides[3] = {0, 0, 0};
    void* hold = nullptr;
    const int range = m_holdPlanes ? m_holdPlanes(&m_contexts[size_t(context)], planes, strides, &hold)
                                   : m_planes(&m_contexts[size_t(context)], planes, strides);
    if (hold) {
        // Let go through the library, which the keeper holds loaded till then.
        view->hold = std::shared_ptr<const void>(
            hold, [release = m_releasePicture, keeper = m_keeper](const void* held) {
                release(const_cast<void*>(held));
            });
    }
    if (range != 0 && range != 1)
        return false;
    for (int plane = 0; plane < 3; ++plane) {
        view->planes[plane] = planes[plane];
        view->strides[plane] = strides[plane];
    }
    view->width = Width(context);
    view->height = Height(context);
    view->fullRange = range == 1;
    return true;
}

void H264Library::Release()
{
    m_planes = nullptr;
    m_holdPlanes = nullptr;
    m_releasePicture = nullptr;
    m_keeper.reset();
    if (!IsLoaded())
        return;
    for (int context = 0; context < kH264Contexts; ++context)
        ReleaseContext(context);
    m_library.unload();
}

int H264Library::Width(int context) const
{
    return ValidContext(context) ? m_contexts[size_t(context)].words[2] : 0;
}

int H264Library::Height(int context) const
{
    return ValidContext(context) ? m_contexts[size_t(context)].words[3] : 0;
}
