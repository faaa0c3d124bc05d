#include "ownrecording.h"

#include "../engine/ownencoder.h"
#include "playback/video_info.h"

namespace own_recording {

namespace {

constexpr int kMacroblocks = (kWidth / 16) * (kHeight / 16);
constexpr int kHeight224 = 1; // the trailer's height code for 224 lines

int KeyGrey(int group)
{
    return 40 + 40 * (group % 4);
}

int Added(int frame, int keyEvery)
{
    return 6 * (frame % keyEvery);
}

} // namespace

int Grey(int frame, int keyEvery)
{
    return KeyGrey(frame / keyEvery) + Added(frame, keyEvery);
}

QByteArray Frame(int frame, int keyEvery)
{
    OwnEncoder encoder;
    const bool key = frame % keyEvery == 0;
    // The picture header's 4-bit field 0 is channel 1 to the writer; its key bit starts a group.
    encoder.PictureHeader(key, 2, 0);
    for (int mb = 0; mb < kMacroblocks; ++mb) {
        if (key) {
            encoder.KeyMacroblock(0, 0);
            for (int j = 0; j < 4; ++j)
                encoder.Dc(KeyGrey(frame / keyEvery));
            encoder.Dc(128);
            encoder.Dc(128);
        } else {
            encoder.CodedMacroblock(0, 15, false); // all four luma blocks, no chroma
            for (int j = 0; j < 4; ++j)
                encoder.Events(OwnEncoder::Class::Inter, {{true, 0, Added(frame, keyEvery)}});
        }
    }
    encoder.EndCode();
    return encoder.Frame(kHeight224);
}

QString Write(const QString& folder, const QString& nameText, int frames, int keyEvery,
              const std::function<int(int)>& code)
{
    Video_Info writer;
    for (int i = 0; i < frames; ++i) {
        const QByteArray f = Frame(i, keyEvery);
        if (Video_Info::FrameChannel(f.constData()) != 1
            || Video_Info::StartsGroup(f.constData()) != (i % keyEvery == 0))
            return QStringLiteral("frame %1 does not carry channel 1 and its key mark").arg(i);
        if (writer.WriteFrame(folder, nameText, "Gate", f.constData(), f.size(), code(i), 0, 0) != 0)
            return QStringLiteral("the writer refused frame %1").arg(i);
    }
    return QString();
}

} // namespace own_recording
