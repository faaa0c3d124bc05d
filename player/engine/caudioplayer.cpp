#include "engine/caudioplayer.h"

#include "engine/enginelog.h"
#include "engine/liveframe.h"

#include "common/media/mulaw.h"

namespace {

constexpr int kHalf = 4000;    // one block handed to the sound output
constexpr int kSubBlock = 200; // 2-bit G.726: 800 codes
constexpr int kSubBlocks = 5;
constexpr int kHeldBack = 32;       // the 2-bit stream runs 32 samples late
constexpr int kG726FourUnit = 2000; // 4-bit G.726: 4000 codes
constexpr int kMuLawUnit = 4000;

void PutSample(QByteArray& out, int sample)
{
    sample = sample < -32768 ? -32768 : (sample > 32767 ? 32767 : sample);
    out.append(char(sample & 0xFF));
    out.append(char((sample >> 8) & 0xFF));
}

QByteArray MuLawBlock(const char* data, int count)
{
    QByteArray out;
    out.reserve(count * 2);
    for (int i = 0; i < count; ++i)
        PutSample(out, MuLawToLinear(quint8(data[i])));
    return out;
}

} // namespace

CAudioPlayer::CAudioPlayer(AudioSink* sink)
    : m_sound(std::make_unique<CSoundPlayer>(sink))
    , m_g726Two(2)
    , m_g726Four(4)
    , m_heldBack(kHeldBack * 2, '\0')
{}

CAudioPlayer::~CAudioPlayer() = default;

int CAudioPlayer::Init()
{
    if (!m_sound->Init(8000, 16)) {
        qCDebug(lcPlayerEngine) << "no audio output device: the player stays silent";
        return -1;
    }
    m_sound->SetStartThreshold(4);
    m_gather.reserve(kGatherBytes);
    m_ready = true;
    return 0;
}

bool CAudioPlayer::IsReady() const
{
    return m_ready;
}

void CAudioPlayer::Flush()
{
    {
        std::lock_guard<std::mutex> guard(m_lock);
        m_gather.clear();
    }
    m_sound->Flush();
}

QByteArray CAudioPlayer::PlayAudio(int serverId, int camera, const char* data, int length, int type,
                                   bool exportRunning)
{
    (void)camera;
    if (!m_ready || serverId != kFileServerId || !data || length <= 0)
        return QByteArray();
    std::lock_guard<std::mutex> guard(m_lock);
    if (type == int(AudioType::MuLawRaw)) {
        m_sound->WriteMuLaw(data, length);
        return QByteArray();
    }
    const bool returnsForExport = type == int(AudioType::MuLawGathered) || type == int(AudioType::Pcm8Unsigned)
                                  || type == int(AudioType::Pcm16Half) || type == int(AudioType::MuLawBlock);
    QByteArray last;
    for (const QByteArray& decoded : Decode(data, length, type)) {
        if (exportRunning && returnsForExport) {
            last = decoded;
            continue;
        }
        Play(decoded, type == int(AudioType::Pcm16Half));
    }
    return last;
}

void CAudioPlayer::Play(const QByteArray& decoded, bool firstHalfOnly)
{
    for (int at = 0; at < decoded.size(); at += kHalf) {
        m_sound->Write(decoded.constData() + at, qMin(kHalf, int(decoded.size()) - at));
        if (firstHalfOnly)
            break;
    }
}

std::vector<QByteArray> CAudioPlayer::Decode(const char* data, int length, int type)
{
    std::vector<QByteArray> blocks;
    switch (AudioType(type)) {
    case AudioType::G726_16k:
        // Whole blocks of five sub-blocks only; a short block would be read past its end.
        for (int at = 0; at + kSubBlock * kSubBlocks <= length; at += kSubBlock * kSubBlocks)
            blocks.push_back(DecodeTwoBit(data + at));
        break;
    case AudioType::G726_32k:
    case AudioType::G726_32kAlt:
        // Gather to whole 2000-byte units; the rest waits for the next block.
        m_gather.append(data, length);
        while (m_gather.size() >= kG726FourUnit) {
            blocks.push_back(DecodeFourBit(m_gather.constData()));
            m_gather.remove(0, kG726FourUnit);
        }
        break;
    case AudioType::MuLawGathered:
        m_gather.append(data, length);
        while (m_gather.size() >= kMuLawUnit) {
            blocks.push_back(MuLawBlock(m_gather.constData(), kMuLawUnit));
            m_gather.remove(0, kMuLawUnit);
        }
        break;
    case AudioType::MuLawBlock:
        if (length >= kMuLawUnit)
            blocks.push_back(MuLawBlock(data, kMuLawUnit));
        break;
    case AudioType::Pcm8Unsigned: {
        const int count = qMin(length, kOutputBytes / 2);
        QByteArray out;
        out.reserve(count * 2);
        for (int i = 0; i < count; ++i)
            PutSample(out, (int(quint8(data[i])) - 128) * 256);
        blocks.push_back(out);
        break;
    }
    case AudioType::Pcm16Half:
        if (length >= kHalf * 2)
            blocks.push_back(QByteArray(data, kHalf * 2));
        else if (length >= kHalf)
            blocks.push_back(QByteArray(data, kHalf));
        break;
    case AudioType::Pcm16:
        if (length >= kHalf * 2)
            blocks.push_back(QByteArray(data, kHalf * 2));
        break;
    default: break;
    }
    if (m_gather.size() > kGatherBytes)
        m_gather.clear(); // cannot happen with whole units taken above; never grow without end
    return blocks;
}

QByteArray CAudioPlayer::DecodeTwoBit(const char* data)
{
    QByteArray out;
    out.reserve(kSubBlock * 4 * kSubBlocks * 2);
    for (int sub = 0; sub < kSubBlocks; ++sub) {
        QByteArray fresh;
        fresh.reserve(kSubBlock * 4 * 2);
        for (int i = 0; i < kSubBlock; ++i) {
            const quint8 byte = quint8(data[sub * kSubBlock + i]);
            for (int shift = 0; shift < 8; shift += 2)
                PutSample(fresh, m_g726Two.Decode((byte >> shift) & 3) * 2);
        }
        // The 32 samples held back from the previous sub-block lead; the last 32 new ones wait.
        out += m_heldBack;
        out += fresh.left(fresh.size() - kHeldBack * 2);
        m_heldBack = fresh.right(kHeldBack * 2);
    }
    return out;
}

QByteArray CAudioPlayer::DecodeFourBit(const char* data)
{
    QByteArray out;
    out.reserve(kG726FourUnit * 4);
    for (int i = 0; i < kG726FourUnit; ++i) {
        const quint8 byte = quint8(data[i]);
        PutSample(out, m_g726Four.Decode(byte & 0x0F) * 4);
        PutSample(out, m_g726Four.Decode(byte >> 4) * 4);
    }
    return out;
}
