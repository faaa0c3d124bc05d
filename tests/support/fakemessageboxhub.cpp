#include "support/fakemessageboxhub.h"

#include <QMutexLocker>

FakeMessageBoxHub::FakeMessageBoxHub()
    : m_previous(MessageBoxHub::Instance())
{
    MessageBoxHub::Install(this);
}

FakeMessageBoxHub::~FakeMessageBoxHub()
{
    if (MessageBoxHub::Instance() == this)
        MessageBoxHub::Install(m_previous);
}

void FakeMessageBoxHub::Set(const QString& title, const QString& text, const QString& option)
{
    QMutexLocker locker(&m_lock);
    m_title = title;
    m_text = text;
    m_option = option;
}

QString FakeMessageBoxHub::MessageTitle() const
{
    QMutexLocker locker(&m_lock);
    return m_title;
}

QString FakeMessageBoxHub::MessageText() const
{
    QMutexLocker locker(&m_lock);
    return m_text;
}

QString FakeMessageBoxHub::MessageOption() const
{
    QMutexLocker locker(&m_lock);
    return m_option;
}

void FakeMessageBoxHub::MessageBoxClosed()
{
    // A box reports its close once; a count below zero would be a fault of the box.
    if (m_open.load() > 0)
        --m_open;
}
