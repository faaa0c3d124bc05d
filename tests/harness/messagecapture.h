#pragma once
// Collects the Qt log while it lives, from any thread, with the client's debug categories
// switched on (they are off by default), for tests that read what the code writes to its log.
#include <QLoggingCategory>
#include <QMutex>
#include <QMutexLocker>
#include <QStringList>

#include <utility>

class MessageCapture
{
public:
    MessageCapture()
    {
        QLoggingCategory::setFilterRules(QStringLiteral("zent.*.debug=true"));
        s_current = this;
        m_previous = qInstallMessageHandler(&MessageCapture::Handler);
    }
    ~MessageCapture()
    {
        qInstallMessageHandler(m_previous);
        s_current = nullptr;
        QLoggingCategory::setFilterRules(QString());
    }
    MessageCapture(const MessageCapture&) = delete;
    MessageCapture& operator=(const MessageCapture&) = delete;

    QStringList Lines() const
    {
        QMutexLocker lock(&m_mutex);
        return m_lines;
    }
    QString Text() const { return Lines().join(QLatin1Char('\n')); }
    bool Has(const QString& line) const { return Lines().contains(line); }
    // The lines that begin with one of the prefixes, taken out of the capture.
    QStringList Take(const QStringList& prefixes)
    {
        QMutexLocker lock(&m_mutex);
        QStringList taken;
        QStringList rest;
        for (const QString& line : std::as_const(m_lines)) {
            bool match = false;
            for (const QString& prefix : prefixes)
                match = match || line.startsWith(prefix);
            (match ? taken : rest) << line;
        }
        m_lines = rest;
        return taken;
    }

private:
    static void Handler(QtMsgType, const QMessageLogContext&, const QString& line)
    {
        if (MessageCapture* self = s_current) {
            QMutexLocker lock(&self->m_mutex);
            self->m_lines << line;
        }
    }
    static inline MessageCapture* s_current = nullptr;
    QtMessageHandler m_previous = nullptr;
    mutable QMutex m_mutex;
    QStringList m_lines;
};
