#include "managers/accountrun.h"
#include "managers/managerslog.h"
#include "managers/passwordclientsection.h"
#include "managers/recorderadmin.h"

#include <QFile>
#include <QSaveFile>
#include <QTimer>

namespace {
const QString kWriteFailed = QStringLiteral("Write fail");
}

AccountRun::AccountRun(RecorderAdmin& admin, ManagerRows& rows, QObject* parent)
    : QObject(parent)
    , m_admin(admin)
    , m_rows(rows)
    , m_walk(admin, rows, kPurpose, StateText(0), StateText(-1))
    , m_uploadTimer(new QTimer(this))
{
    m_uploadTimer->setSingleShot(true);
    connect(m_uploadTimer, &QTimer::timeout, this, &AccountRun::StartUpload);
}

QString AccountRun::StateText(int code)
{
    switch (code) {
    case 0: return QStringLiteral("Wait");
    case 1: return QStringLiteral("Get Account Information");
    case 2: return QStringLiteral("Set Account Information");
    case 3: return QStringLiteral("Finish");
    case -1: return QStringLiteral("Connect fail");
    case -2: return QStringLiteral("Don't have permision");
    default: return QString();
    }
}

bool AccountRun::Start(const AccountSet& accounts)
{
    if (m_busy)
        return false;
    m_accounts = accounts;
    m_rows.SetAllStatus(QStringLiteral("-"));
    m_busy = true;
    emit busyChanged(true);
    if (!m_walk.Begin([this] { m_uploadTaken = false; })) {
        EndRun();
        return false;
    }
    return true;
}

void AccountRun::Stop()
{
    EndRun();
}

void AccountRun::NextOrEnd()
{
    m_uploadTimer->stop();
    if (!m_walk.Advance([this] { m_uploadTaken = false; }))
        EndRun();
}

void AccountRun::EndRun()
{
    m_uploadTimer->stop();
    const bool wasBusy = m_busy;
    m_busy = false;
    m_walk.Finish();
    m_uploadTaken = false;
    if (wasBusy)
        emit busyChanged(false);
}

void AccountRun::Fail(const QString& status)
{
    m_walk.SetStatus(status);
    NextOrEnd();
}

void AccountRun::SetAccountState(int recorder, int code)
{
    if (!m_walk.IsCurrent(recorder)) {
        qCDebug(lcManagers) << "account state" << code << "of recorder" << recorder << "ignored";
        return;
    }
    if (code == kUploadedCode) {
        m_uploadTaken = true;
        return;
    }
    if (code == 3 && !m_uploadTaken) {
        // Gone before the recorder took the accounts: nothing was written into it.
        Fail(StateText(-1));
        return;
    }
    const QString text = StateText(code);
    if (code < -2 || code > 3)
        return; // an unknown code changes nothing
    m_walk.SetStatus(text);
    switch (code) {
    case 0:
        if (!m_walk.Reconnect())
            NextOrEnd();
        return;
    case 2: WriteAccounts(); return;
    case 3:
    case -1:
    case -2: NextOrEnd(); return;
    default: return;
    }
}

void AccountRun::WriteAccounts()
{
    const QString path = m_admin.ProgramDirectory() + QStringLiteral("/download.ini");
    QFile in(path);
    // Only this recorder's own settings may go back to it: a missing or empty download is a
    // failed download, never something to fill in.
    if (!in.open(QIODevice::ReadOnly) || in.size() == 0 || in.size() > PasswordClientSection::kMaxSize) {
        qCWarning(lcManagers) << "accounts: no usable download.ini for" << m_rows.At(m_walk.Current()).site;
        Fail(StateText(-1));
        return;
    }
    const QByteArray text = in.readAll();
    in.close();
    QByteArray updated;
    if (!PasswordClientSection::Apply(text, m_accounts, &updated)) {
        Fail(kWriteFailed);
        return;
    }
    QSaveFile out(path);
    if (!out.open(QIODevice::WriteOnly) || out.write(updated) != updated.size() || !out.commit()) {
        qCWarning(lcManagers) << "accounts: cannot write" << path << out.errorString();
        Fail(kWriteFailed);
        return;
    }
    // The file holds the recorder's passwords: readable by the owner only.
    QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    m_uploadTimer->start(kUploadDelayMs);
}

void AccountRun::StartUpload()
{
    if (!m_busy || !m_walk.IsActive())
        return;
    if (!m_admin.SetConfigData(m_rows.At(m_walk.Current()).recorder))
        Fail(StateText(-1));
}
