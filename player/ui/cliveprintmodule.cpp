#include "ui/cliveprintmodule.h"

#include "playback/stillfile.h"
#include "ui/skinbitmaps.h"
#include "ui/stilldialoghost.h"
#include "ui/stillprinter.h"

#include <QDir>
#include <QHBoxLayout>
#include <QLabel>
#include <QPixmap>
#include <QPrinter>
#include <QPushButton>
#include <QVBoxLayout>

CLivePrintModule::CLivePrintModule(const StillRecord& still, StillDialogHost* host, QWidget* parent)
    : QDialog(parent)
    , m_host(host)
    , m_preview(new QLabel(this))
    , m_print(new QPushButton(this))
    , m_save(new QPushButton(this))
    , m_cancel(new QPushButton(this))
{
    m_preview->setFixedSize(StillComposer::kPreviewWidth, StillComposer::kPreviewHeight);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_print);
    buttons->addWidget(m_save);
    buttons->addWidget(m_cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_preview);
    layout->addLayout(buttons);
    m_print->setText(m_host->Text(QStringLiteral("PRINT")));
    m_save->setText(m_host->Text(QStringLiteral("SAVE")));
    m_cancel->setText(m_host->Text(QStringLiteral("CANCEL")));
    setWindowTitle(m_host->Text(QStringLiteral("PRINT")));
    connect(m_print, &QPushButton::clicked, this, &CLivePrintModule::OnPrint);
    connect(m_save, &QPushButton::clicked, this, &CLivePrintModule::OnSave);
    connect(m_cancel, &QPushButton::clicked, this, &QDialog::reject);
    SetData(still);
}

int CLivePrintModule::SetData(const StillRecord& still)
{
    const qint64 size = qint64(still.width) * still.height * 4;
    m_valid = StillComposer::Validate(still.width, still.height, still.bitsPerPixel, !still.picture.isNull(),
                                      still.picture.isNull() ? 0 : size);
    if (m_valid == 0 && (still.picture.width() < still.width || still.picture.height() < still.height)) {
        m_valid = -4; // the picture is smaller than the sizes it claims
    }
    if (m_valid != 0) {
        return m_valid;
    }
    m_still = still;
    m_markBitmap = SkinBitmaps::Load(SkinBitmaps::kMark).toImage();
    // Our own copy: the grid's picture may change while the dialog is open.
    m_still.picture = still.picture.copy(0, 0, still.width, still.height);
    RefreshPreview();
    return 0;
}

int CLivePrintModule::exec()
{
    if (m_valid != 0) {
        m_host->ShowMessage(
            QStringLiteral("%1 %2").arg(m_host->Text(QStringLiteral("INVALID_PRINT_INFO"))).arg(m_valid),
            m_host->Text(QStringLiteral("NOTIFY")));
        return QDialog::Rejected;
    }
    return QDialog::exec();
}

QRect CLivePrintModule::SourceRegion()
{
    return StillComposer::SourceRegion(m_still.width, m_still.height, m_still.zoomX, m_still.zoomY, &m_still.panX,
                                       &m_still.panY);
}

QImage CLivePrintModule::Page()
{
    if (m_valid != 0) {
        return QImage();
    }
    StillCaption caption;
    caption.recorderLabel = m_host->Text(QStringLiteral("DVR_NAME"));
    caption.recorderName = m_still.recorderName;
    caption.cameraLabel = m_host->Text(QStringLiteral("CAMERA_NAME"));
    caption.cameraName = m_still.cameraName;
    caption.inputLabel = m_host->Text(QStringLiteral("CAMERA_INPUT"));
    caption.cameraNumber = m_still.cameraNumber;
    caption.addressLabel = m_host->Text(QStringLiteral("IP"));
    caption.address = m_still.address;
    caption.dateTimeLabel = m_host->Text(QStringLiteral("DATE_TIME"));
    caption.dateTime = m_still.dateTime;
    return StillComposer::Compose(m_still.picture, SourceRegion(), caption, m_markBitmap, m_host->FontFamily());
}

void CLivePrintModule::RefreshPreview()
{
    m_preview->setPixmap(QPixmap::fromImage(Page()));
}

void CLivePrintModule::OnPrint()
{
    QPrinter printer(QPrinter::HighResolution);
    if (!m_host->AskPrinter(&printer)) {
        return;
    }
    PrintTo(&printer);
}

QString CLivePrintModule::PrintTo(QPrinter* printer)
{
    RefreshPreview();
    const QString error = StillPrinter::Print(printer, Page());
    if (!error.isEmpty()) {
        m_host->ShowMessage(error, m_host->Text(QStringLiteral("NOTIFY")));
    }
    return error;
}

QString CLivePrintModule::ProposedFileName() const
{
    return StillComposer::DefaultFileName(m_still.imageFolder, m_host->SaveCounter(), m_still.recorderName,
                                          m_still.cameraName);
}

void CLivePrintModule::OnSave()
{
    if (!m_still.imageFolder.isEmpty()) {
        QDir().mkpath(m_still.imageFolder);
    }
    const QString path = m_host->AskSavePath(ProposedFileName());
    if (path.size() < 3) {
        return;
    }
    SaveTo(path);
}

QString CLivePrintModule::SaveTo(const QString& path)
{
    RefreshPreview();
    const QString error = StillFile::Save(Page(), path);
    if (!error.isEmpty()) {
        m_host->ShowMessage(error, m_host->Text(QStringLiteral("NOTIFY")));
        return error;
    }
    m_host->CountSave();
    return QString();
}
