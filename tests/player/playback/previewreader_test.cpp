// Slider previews: the key frame of a play position, read on the preview's own thread and
// decoded through the preview's own decoder, the next second with a key frame where the position
// has none, the last entry past the end, and no picture for what cannot be shown.
#include "playback/previewsink.h"
#include "playback/searchview.h"
#include "support/clientrecording.h"
#include "support/playbackfakes.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

class FakePreviews : public PreviewSink
{
public:
    int DecodePreview(int preview, quint8* data, int length) override
    {
        decoded.append(QByteArray(reinterpret_cast<const char*>(data), length));
        previews.append(preview);
        return result;
    }
    void ShowPreview(int preview, int width, int height, const QString& caption) override
    {
        shown.append({preview, width, height, caption});
    }

    struct Shown
    {
        int preview, width, height;
        QString caption;
    };
    int result = 352 * 1000 + 240;
    QVector<QByteArray> decoded;
    QVector<int> previews;
    QVector<Shown> shown;
};

} // namespace

TEST(PreviewReader, KeyFrameOfThePositionOrTheNextSecondWithOne)
{
    QTemporaryDir root;
    const ClientRecording rec = WriteClientRecording(root.path(), TenPerSecond(80510, 4), 20);
    ASSERT_TRUE(rec.error.isEmpty());
    FakeFrameSink sink;
    FakeHost host;
    FakeAudioSink audio;
    FakeClock clock;
    FakePreviews previews;
    CSearchView view(0, sink, host, audio, clock, &previews);
    view.StartPreview(0, 1); // nothing open: no picture
    view.JoinPreview();
    ASSERT_EQ(previews.shown.size(), 1);
    EXPECT_EQ(previews.shown[0].width, 0);
    ASSERT_TRUE(view.OpenFile({rec.dataName, rec.folder, 0, 0}));

    const struct
    {
        int position;
        int frame;
        const char* caption;
    } cases[] = {
        {0, 0, "08:05:10"},
        {1, 20, "08:05:12"}, // 08:05:11 has no key frame of its own
        {2, 20, "08:05:12"},
        {500, 20, "08:05:12"}, // past the end: the last entry, back to its group's key frame
    };
    for (const auto& c : cases) {
        previews.decoded.clear();
        previews.shown.clear();
        view.StartPreview(c.position, 3);
        view.JoinPreview();
        ASSERT_EQ(previews.shown.size(), 1) << c.position;
        if (c.position == 500) {
            // The last second holds no key frame and nothing follows it.
            EXPECT_EQ(previews.shown[0].width, 0);
            continue;
        }
        ASSERT_FALSE(previews.decoded.isEmpty()) << c.position;
        EXPECT_EQ(previews.decoded.first(), rec.units[c.frame]) << c.position;
        EXPECT_EQ(previews.previews.first(), 3);
        EXPECT_EQ(previews.shown[0].width, 352);
        EXPECT_EQ(previews.shown[0].height, 240);
        EXPECT_EQ(previews.shown[0].caption, QString(c.caption));
    }
    // A decode that makes no picture gives none.
    previews.result = 100000;
    previews.shown.clear();
    view.StartPreview(0, 2);
    view.JoinPreview();
    ASSERT_EQ(previews.shown.size(), 1);
    EXPECT_EQ(previews.shown[0].width, 0);
    // The tile's own frames never went through the preview.
    EXPECT_EQ(sink.Decodes().size(), 1);
}
