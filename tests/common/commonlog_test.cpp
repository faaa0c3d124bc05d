// FFmpeg's own log lines go into "zent.media" at debug level: quiet by default, whole lines with
// FFmpeg's prefix when the category is switched on, and never on the terminal.
#include "common/commonlog.h"

#include <QFile>
#include <QLoggingCategory>
#include <QMutex>
#include <QMutexLocker>
#include <QStringList>
#include <QTemporaryDir>

#include <gtest/gtest.h>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavutil/log.h>
}

#include <fcntl.h>
#include <unistd.h>

namespace {

// Keeps "type|category|text" of every Qt message while it lives.
class CategoryCapture
{
public:
    explicit CategoryCapture(const QString& rules)
    {
        QLoggingCategory::setFilterRules(rules);
        s_current = this;
        m_previous = qInstallMessageHandler(&CategoryCapture::Handler);
    }
    ~CategoryCapture()
    {
        qInstallMessageHandler(m_previous);
        s_current = nullptr;
        QLoggingCategory::setFilterRules(QString());
    }
    QStringList Lines() const
    {
        QMutexLocker lock(&m_mutex);
        return m_lines;
    }

private:
    static void Handler(QtMsgType type, const QMessageLogContext& context, const QString& text)
    {
        const char* kind = type == QtDebugMsg ? "debug" : type == QtInfoMsg ? "info" : "other";
        if (CategoryCapture* self = s_current) {
            QMutexLocker lock(&self->m_mutex);
            self->m_lines
                << QStringLiteral("%1|%2|%3").arg(QLatin1String(kind), QLatin1String(context.category), text);
        }
    }
    static inline CategoryCapture* s_current = nullptr;
    mutable QMutex m_mutex;
    QStringList m_lines;
    QtMessageHandler m_previous = nullptr;
};

// What the process writes to its standard error while it lives.
class StderrCapture
{
public:
    StderrCapture()
    {
        m_path = m_dir.filePath(QStringLiteral("stderr.txt"));
        std::fflush(stderr);
        m_saved = ::dup(2);
        const int file = ::open(QFile::encodeName(m_path).constData(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        ::dup2(file, 2);
        ::close(file);
    }
    ~StderrCapture() { Restore(); }
    QByteArray Text()
    {
        Restore();
        QFile file(m_path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
    }

private:
    void Restore()
    {
        if (m_saved < 0)
            return;
        std::fflush(stderr);
        ::dup2(m_saved, 2);
        ::close(m_saved);
        m_saved = -1;
    }
    QTemporaryDir m_dir;
    QString m_path;
    int m_saved = -1;
};

void LogSome(void* context)
{
    av_log(context, AV_LOG_ERROR, "broken %s at %d\n", "slice", 7);
    // One line in two pieces, as FFmpeg's own code writes some.
    av_log(context, AV_LOG_WARNING, "first half, ");
    av_log(context, AV_LOG_WARNING, "second half\n");
    // Below FFmpeg's own level (info by default): dropped as FFmpeg drops it.
    av_log(context, AV_LOG_DEBUG, "chatter\n");
}

} // namespace

// The test program's application exists before any test, so the routing is in place without a
// call of its own, as in the client and the backup player.
TEST(FfmpegLog, IsQuietByDefault)
{
    CategoryCapture messages{QString()};
    StderrCapture terminal;
    LogSome(nullptr);
    EXPECT_EQ(terminal.Text(), QByteArray());
    EXPECT_TRUE(messages.Lines().isEmpty()) << messages.Lines().join(QLatin1Char('\n')).toStdString();
}

TEST(FfmpegLog, GoesIntoTheMediaCategoryAtDebugLevelWhenSwitchedOn)
{
    const AVCodec* codec = avcodec_find_decoder(AV_CODEC_ID_H264);
    ASSERT_NE(codec, nullptr);
    AVCodecContext* decoder = avcodec_alloc_context3(codec);
    ASSERT_NE(decoder, nullptr);
    CategoryCapture messages(QStringLiteral("zent.media.debug=true"));
    StderrCapture terminal;
    LogSome(nullptr);
    LogSome(decoder);
    const QByteArray printed = terminal.Text();
    const QStringList lines = messages.Lines();
    avcodec_free_context(&decoder);

    EXPECT_EQ(printed, QByteArray());
    ASSERT_EQ(lines.size(), 4) << lines.join(QLatin1Char('\n')).toStdString();
    EXPECT_EQ(lines.at(0), QStringLiteral("debug|zent.media|ffmpeg: broken slice at 7"));
    EXPECT_EQ(lines.at(1), QStringLiteral("debug|zent.media|ffmpeg: first half, second half"));
    // With a context, FFmpeg's prefix names the component.
    EXPECT_TRUE(lines.at(2).startsWith(QStringLiteral("debug|zent.media|ffmpeg: [h264 @ ")))
        << lines.at(2).toStdString();
    EXPECT_TRUE(lines.at(2).endsWith(QStringLiteral("] broken slice at 7"))) << lines.at(2).toStdString();
    EXPECT_TRUE(lines.at(3).endsWith(QStringLiteral("] first half, second half"))) << lines.at(3).toStdString();
}

TEST(FfmpegLog, FollowsFfmpegsOwnLevel)
{
    const int level = av_log_get_level();
    av_log_set_level(AV_LOG_QUIET);
    CategoryCapture messages(QStringLiteral("zent.media.debug=true"));
    LogSome(nullptr);
    av_log_set_level(level);
    EXPECT_TRUE(messages.Lines().isEmpty());
}
