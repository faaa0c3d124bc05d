#include "sitebook/csnapshow.h"

#include <QFrame>
#include <QPixmap>

#include "sitebook/sitebooklog.h"

CSnapShow::CSnapShow(QWidget* parent, const QString& path)
    : CPopupDialog(parent)
{
    setWindowTitle(QStringLiteral("SnapShot"));
    resize(980, 620);

    m_picture = new QLabel(this);
    m_picture->setGeometry(10, 30, kPictureWidth, kPictureHeight);
    m_picture->setFrameStyle(QFrame::Box | QFrame::Plain);
    const QPixmap picture(path);
    if (picture.isNull())
        qCDebug(lcSiteBook) << "snapshot does not load:" << path;
    else
        m_picture->setPixmap(
            picture.scaled(kPictureWidth, kPictureHeight, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));

    m_close = new QPushButton(QStringLiteral("Close"), this);
    m_close->setGeometry(860, 580, 100, 30);
    connect(m_close, &QPushButton::clicked, this, &CSnapShow::onOKButtonClicked);
}

void CSnapShow::onOKButtonClicked()
{
    done(1);
}
