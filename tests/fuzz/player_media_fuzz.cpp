// libFuzzer target for the backup player's readers of recordings on disk.
//
// The input chooses a layout and carries the files of one recording: a header byte (bit 0:
// recorder backup media, else a client recording; bit 1: an owner marker, or without bit 0 the
// player's own frame-list recording; bits 2..3: which operations run), a 16-bit index length
// (0xFFFF: a 32-bit length follows, so that indexes above 64 KB are reached too), the index
// file, then the data file. The parsers are
// fed the same bytes directly (index headers and entries, frame blocks, 104-byte records, the
// recorder information file, audio blocks), then a tile opens the files from a scratch folder
// and plays, seeks and steps through them with a video engine and a clock that cost nothing.
// Any read outside a buffer or a file, or a worker that never ends, is a finding.
#include "fuzz/support/fuzzinput.h"
#include "playback/audioreader.h"
#include "playback/frameblock.h"
#include "playback/framelistaudio.h"
#include "playback/framerecord.h"
#include "playback/indexlayout.h"
#include "playback/previewsink.h"
#include "playback/profileini.h"
#include "playback/searchview.h"
#include "playback/tileexportsource.h"
#include "player/playback/support/playbackfakes.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cstdint>
#include <cstdlib>
#include <memory>

namespace {

class Previews : public PreviewSink
{
public:
    int DecodePreview(int, quint8* data, int length) override { return length > 0 && data[0] ? 352240 : 0; }
    void ShowPreview(int, int, int, const QString&) override {}
};

void WriteFile(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    if (f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        f.write(bytes);
}

void ParseDirectly(const QByteArray& index, const QByteArray& data)
{
    IndexInfo info;
    IndexLayout::Parse(index, index.size(), info);
    for (int at = 0; at + 16 <= index.size() && at < 4096; at += 16) {
        IndexLayout::ParseEntry16(index.mid(at, 16), true);
        IndexLayout::ParseEntry16(index.mid(at, 16), false);
        IndexLayout::ParseEntry36(index.mid(at, 36));
    }
    FrameBlock::Parse(data, true);
    FrameBlock::Parse(data, false);
    FrameRecord record;
    FrameRecord::Parse(data, record);
    record.SecondOfDay();
    record.Date();
    ProfileIni ini;
    ini.Parse(index);
    std::vector<quint8> fill(AudioReader::kFillCapacity);
    int count = 0;
    AudioReader::AppendChannel(data, int(data.size() % 17), fill, count);
    if (count > int(fill.size()))
        std::abort();
    FrameListAudio::ParseHead(data.left(FrameListAudio::kHeadBytes), data.size(), int(data.size() % 17));
}

// The export's own reading of the recording: a few seconds from where the mode points, every
// frame decoded by a stand-in that makes a small picture of frames whose first byte is set.
void ExportSeconds(const CSearchView& view, quint8 mode)
{
    TileExportSource source(
        view.Paths(), view.Index(),
        [](quint8* data, int length, bool, QImage& picture) {
            if (length <= 0 || !data[0])
                return 0;
            picture = QImage(8, 8, QImage::Format_RGB32);
            return 352240;
        },
        view.Audio());
    const int start = source.Length() > 0 ? int(mode) % (source.Length() + 1) : 0;
    if (!source.SeekSecond(start))
        return;
    QImage picture;
    for (int s = start; s <= source.Length() && s < start + 4; ++s) {
        const int frames = source.FramesInSecond(s);
        for (int i = 0; i < frames; ++i)
            source.DecodeNext(picture);
        source.AudioOfSecond(s);
        source.DateText(s);
        source.TimeText(s);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size)
{
    static QTemporaryDir scratch;

    FuzzInput in(bytes, size);
    const quint8 mode = in.Byte();
    const quint16 shortLength = in.Word16();
    const QByteArray index = in.Take(shortLength == 0xFFFF ? int(qMin<quint32>(in.Word32(), 1u << 30)) : shortLength);
    const QByteArray data = in.Rest();
    ParseDirectly(index, data);

    QDir(scratch.path()).removeRecursively();
    const QString root = scratch.path();
    QString folder, file;
    if (mode & 1) {
        WriteFile(root + "/day.lst", "20261210");
        WriteFile(root + "/20261210/intra_idx.002", index);
        WriteFile(root + "/stream/stream_000.002", data);
        WriteFile(root + "/stream/stream_001.002", data.right(data.size() / 2));
        WriteFile(root + "/20261210/DvrInfo.ini", index.left(200));
        WriteFile(root + "/20261210/intra_idx.000", index);
        WriteFile(root + "/stream/stream_000.000", data);
        folder = root + "/stream";
        file = "stream_000.002";
    } else if (mode & 2) {
        WriteFile(root + "/Live/ix081510.002", index);
        WriteFile(root + "/Live/x081510.002", data);
        // The recording's audio file: its head and sound from the same bytes, a third in.
        WriteFile(root + "/Live/ax081510.a", data.mid(data.size() / 3));
        folder = root + "/Live";
        file = "x081510.002";
    } else {
        WriteFile(root + "/20261210/ih080510.003", index);
        WriteFile(root + "/20261210/h080510.003", data);
        WriteFile(root + "/20261210/a0080510.003", data.left(20000));
        folder = root + "/20261210";
        file = "h080510.003";
    }
    if ((mode & 3) == 3)
        WriteFile(root + "/.owner", "");

    FakeFrameSink sink;
    FakeHost host;
    FakeAudioSink audio;
    FakeClock clock;
    host.split = (mode & 0x10) ? 4 : 1;
    Previews previews;
    CSearchView view(0, sink, host, audio, clock, &previews);
    if (!view.OpenFile({file, folder, 0, 0}))
        return 0;
    view.GetPlayRange();
    view.GetPlayPosition();
    view.StartPreview(int(mode >> 5), int(mode % 10));
    view.StartPreview(view.GetPlayRange() + 3, 1);
    view.JoinPreview();
    const int ops = (mode >> 2) & 3;
    view.StartAudio();
    view.PlayForward();
    view.Join();
    view.StopPlayback();
    if (ops & 1) {
        view.GoToTime("103015");
        view.StepBackward();
        view.Join();
        view.FastBackward();
        view.Join();
        view.PlayBackward();
        view.Join();
    }
    if (ops & 2) {
        view.GoLast();
        view.StepBackward();
        view.Join();
        view.FastForward();
        view.Join();
        view.SeekToFrame(int(mode) * 100);
        view.PlayAudioSecond("080511");
        view.StepForward();
        view.Join();
        view.ShowCurrentFrame();
        view.GetCurrentTimeString();
        view.GetFrameTimeString(int(mode) % 3, int(mode) * 7);
    }
    if (view.Layout512())
        ExportSeconds(view, mode);
    return 0;
}
