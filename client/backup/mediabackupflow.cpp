#include "backup/mediabackupflow.h"

#include "session/recordersession.h"

QString MediaBackupFlow::StartProblem(int rows, bool anyTicked, qint64 totalMB, qint64 limitMB,
                                      const QString& emptyText, const QString& limitText)
{
    if (rows <= 0)
        return emptyText;
    if (!anyTicked)
        return QStringLiteral("Tick at least one row to back up.");
    if (totalMB <= 0)
        return QStringLiteral("The ticked rows hold no recording to back up.");
    if (totalMB > limitMB)
        return limitText;
    return QString();
}

void MediaBackupFlow::SendStop() const
{
    if (RecorderSession* device = m_page.device ? m_page.device() : nullptr) {
        device->SendCDBackupStop(m_mediaKind);
        device->SendCDBackupClose();
    }
}

void MediaBackupFlow::Begin(quint8 mediaKind)
{
    m_mediaKind = mediaKind;
    m_discNumber = 0;
    m_page.status(QStringLiteral("Backup media check"));
    if (RecorderSession* device = m_page.device())
        device->SendCDMediaCheck(m_mediaKind);
}

void MediaBackupFlow::Start()
{
    m_page.status(QStringLiteral("Preparing"));
    m_page.start();
}

void MediaBackupFlow::StartOrPrepare()
{
    if (m_discNumber == 0) {
        Start();
        return;
    }
    if (RecorderSession* device = m_page.device())
        device->SendCDBackupPrepare(m_discNumber, m_mediaKind);
}

void MediaBackupFlow::OnMedia(short state, short freeMB)
{
    RecorderSession* device = m_page.device();
    if (state == 1) {
        StartOrPrepare();
    } else if (state == 0x20) {
        if (m_page.ask(QStringLiteral("CD Backup"), QStringLiteral("Not blank CD.\nWant erase media?"), false)) {
            m_page.status(QStringLiteral("Erasing CD/DVD"));
            if (device)
                device->SendCDMediaErase(m_mediaKind);
        } else {
            m_page.reset();
        }
    } else if (state > 1) {
        const int total = m_page.totalMB();
        if (total > freeMB) {
            const QString text = QString::asprintf(
                "Insufficient USB.\n(USB Space : %dMB, Backup Space : %dMB)\n\nWant format USB storage?",
                int(freeMB), total);
            if (m_page.ask(QStringLiteral("CD Backup"), text, false)) {
                m_page.status(QStringLiteral("Format USB"));
                if (device)
                    device->SendCDMediaErase(m_mediaKind);
            } else {
                m_page.reset();
            }
        } else {
            Start();
        }
    } else if (state == -1) {
        m_page.status(Usb() ? QStringLiteral("No empty USB Storage") : QStringLiteral("No empty CD/DVD"));
        m_page.reset();
    }
}

void MediaBackupFlow::OnErase(char result)
{
    if (result == 0) {
        m_page.status(Usb() ? QStringLiteral("Format is Completed.")
                            : QStringLiteral("Erase Process is Completed."));
        StartOrPrepare();
    } else {
        m_page.status(Usb() ? QStringLiteral("Format Fail.") : QStringLiteral("Erasing CD/DVR Fail."));
        m_page.reset();
    }
}

void MediaBackupFlow::OnRate(char state, char percentByte, char discsByte, char discIndex)
{
    const int discs = discsByte;
    int percent = percentByte;
    if (discs <= 0 || state == 1) {
        m_page.status(QStringLiteral("Remote Backup Fail."));
        m_page.reset();
        return;
    }
    if (state == 2) {
        if (m_discNumber == 0 && percent >= 0)
            m_page.status(QStringLiteral("Preparing - ") + QString::asprintf("%d%%", percent));
        return;
    }
    if (state == 3)
        percent = 100;
    else if (state != 0)
        return;
    m_discNumber = discIndex + 1;
    if (Usb())
        m_page.status(QStringLiteral("USB Storage Writing - ")
                      + (percent == 100 ? QStringLiteral("finish") : QString::asprintf("%d%%", percent)));
    else
        m_page.status(QStringLiteral("CD/DVD Burning ")
                      + (percent == 100 ? QString::asprintf("%d/%d - finish", m_discNumber, discs)
                                        : QString::asprintf("%d/%d - %d%%", m_discNumber, discs, percent)));
    if (percent != 100)
        return;
    if (m_discNumber < discs) {
        if (m_page.ask(QStringLiteral("CD Backup"), QStringLiteral("To burn next CD, press ok button"), true)) {
            m_page.status(QStringLiteral("Backup media check"));
            if (RecorderSession* device = m_page.device())
                device->SendCDMediaCheck(m_mediaKind);
        } else {
            m_page.reset();
        }
        return;
    }
    m_page.status(QStringLiteral("Remote Backup Complete."));
    m_page.reset();
}
