#pragma once
// A file that stands for a full disk: the path becomes a link to /dev/full, where every write
// fails with "No space left on device" from the kernel itself.
#include <QFile>
#include <QString>

#include <csignal>

#include <sys/resource.h>

namespace recordtest {

inline bool MakeDiskFull(const QString& path)
{
    QFile::remove(path);
    return QFile::link(QStringLiteral("/dev/full"), path);
}

// While it lives, no file of the process may grow beyond `bytes`: a write past it fails with
// "File too large", as a disk that fills up fails a write that does not fit.
class FileSizeLimit
{
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        m_signal = std::signal(SIGXFSZ, SIG_IGN);
        getrlimit(RLIMIT_FSIZE, &m_previous);
        rlimit limit = m_previous;
        limit.rlim_cur = bytes;
        m_set = setrlimit(RLIMIT_FSIZE, &limit) == 0;
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &m_previous);
        std::signal(SIGXFSZ, m_signal);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;
    bool IsSet() const { return m_set; }

private:
    rlimit m_previous{};
    void (*m_signal)(int) = nullptr;
    bool m_set = false;
};

} // namespace recordtest
