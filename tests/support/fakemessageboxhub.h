#pragma once
// A message box hub for tests: the texts every MessageDlg shows, set by the test (or by another
// fake that stands in for the main window), and the count of open boxes as they report it. It
// installs itself while it lives and gives the previous hub back.
#include <QMutex>
#include <QString>

#include <atomic>

#include "widgets/messageboxhub.h"

class FakeMessageBoxHub : public MessageBoxHub
{
public:
    FakeMessageBoxHub();
    ~FakeMessageBoxHub() override;
    FakeMessageBoxHub(const FakeMessageBoxHub&) = delete;
    FakeMessageBoxHub& operator=(const FakeMessageBoxHub&) = delete;

    // What the next box shows. Thread-safe, as the main window's own texts are.
    void Set(const QString& title, const QString& text, const QString& option = QString());
    void SetWaitFlag(quint8 value) { m_waitFlag.store(value); }

    QString MessageTitle() const override;
    QString MessageText() const override;
    QString MessageOption() const override;
    quint8 GetWaitFlag() const override { return m_waitFlag.load(); }
    void MessageBoxOpened() override { ++m_open; }
    void MessageBoxClosed() override;

    int OpenBoxes() const { return m_open.load(); }

private:
    MessageBoxHub* m_previous = nullptr;
    mutable QMutex m_lock;
    QString m_title;
    QString m_text;
    QString m_option;
    std::atomic<quint8> m_waitFlag{0};
    std::atomic<int> m_open{0};
};
