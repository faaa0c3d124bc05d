#pragma once
// H.264 fixtures for the decoder tests: elementary streams made by ffmpeg
// (libx264) into the build folder, split into access units, and ffmpeg's own RGB decode of
// them for comparison.
#include <QByteArray>
#include <QList>
#include <QRect>
#include <QString>

namespace decoder_streams {

struct Stream
{
    QString path;             // the .264 file
    QList<QByteArray> frames; // its access units, in decode order
    QByteArray referenceRgb;  // ffmpeg's decode, rgb24 through the fast bilinear scaler
    int width = 0;
    int height = 0;
    QString error; // empty when the fixture was made
};

// Makes (once per process) a stream of the given size and frame count in the build folder,
// with a key frame every keyInterval frames and no B-frames (as recorders send them).
// baseline: libx264's baseline profile (CAVLC, which the rewrites below need).
const Stream& Make(int width, int height, int frames = 30, int keyInterval = 10, bool baseline = false);

// Rewrites the frame numbering of a baseline libx264 stream (one slice per picture, picture
// order type 2) into the forms that recorders send, without touching the coded pictures:
//  - FrameNum10: a 10-bit frame_num (counted from each IDR picture);
//  - FrameNum4Poc5: a 4-bit frame_num and picture order type 0 with a 5-bit
//    pic_order_cnt_lsb of twice the frame count;
//  - PType0FrameNum10: as FrameNum10, and the P slices marked as the highest reference
//    priority (NAL header 0x61) with slice_type 0 instead of 5.
// Returns the rewritten access units, or an empty list when the stream is not of that shape.
enum class Numbering { FrameNum10, FrameNum4Poc5, PType0FrameNum10 };
QList<QByteArray> Renumber(const QList<QByteArray>& units, Numbering numbering);

// ffmpeg's decode of the stream's first `frames` pictures, less their bottom `cropRows` rows,
// scaled to width x height by the fast bilinear scaler into BGRA (the byte order of a QImage
// RGB32 picture in memory). Empty, with `error` set, when ffmpeg fails.
QByteArray ScaledReference(const Stream& stream, int width, int height, int cropRows, int frames, QString& error);

// As ScaledReference, of the region `source` of each picture (the part a display shows after
// cropping a capture's borders).
QByteArray ScaledRegionReference(const Stream& stream, const QRect& source, int width, int height, int frames,
                                 QString& error);

// Splits an Annex B stream into access units; each starts with its first start code
// (four bytes when the stream wrote four).
QList<QByteArray> SplitAccessUnits(const QByteArray& stream);

// Runs ffmpeg with the arguments; returns its standard error when it fails, else empty.
QString RunFfmpeg(const QStringList& arguments);

// Folder of the fixtures.
QString FixtureFolder();

} // namespace decoder_streams
