#include "backup/caviconvert.h"

#include "backup/convertjob.h"
#include "backup/convertlog.h"
#include "backup/convertsource.h"
#include "common/media/timeoverlay.h"
#include "platform/filemanager.h"
#include "session/qthreadhelper.h"
#include "session/sitebook.h"
#include "widgets/messagedlg.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QDataStream>
#include <QDir>
#include <QDragEnterEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QMimeData>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>

namespace {

constexpr int kRecordRole = Qt::UserRole;
const char* const kTitle = "MP4 Convert";
const char* const kGroupStyle = "QGroupBox {background-color : transparent; color : white; font-weight : bold; "
                                "font-size : 12px; border : 1px solid gray;}";

} // namespace

CAVIConvert::CAVIConvert(QWidget* parent)
    : QDialog(parent)
    , grid(ConvertSource::Create(this))
    , worker(new CQThreadHelper(this))
    , programDirectory(QDir::currentPath())
{
    BuildWidgets();
}

void CAVIConvert::BuildWidgets()
{
    resize(600, 360);
    setFixedSize(600, 360);
    setWindowTitle(QString::fromLatin1(kTitle));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowCloseButtonHint);
    setAcceptDrops(true);

    outPathLabel = new QLabel(this);
    outPathLabel->setGeometry(10, 20, 580, 40);
    outPathLabel->setWordWrap(true);

    progress = new QProgressBar(this);
    progress->setGeometry(10, 70, 580, 20);
    progress->setRange(0, 100);
    progress->setValue(0);

    auto* containerBox = new QGroupBox(this);
    containerBox->setGeometry(10, 95, 320, 40);
    containerBox->setStyleSheet(QString::fromLatin1(kGroupStyle));
    mp4Radio = new QRadioButton(QStringLiteral("MP4"), this);
    mp4Radio->setGeometry(20, 100, 70, 30);
    mp4Radio->setChecked(true);
    aviRadio = new QRadioButton(QStringLiteral("AVI"), this);
    aviRadio->setGeometry(100, 100, 70, 30);
    auto* osdBox = new QGroupBox(this);
    osdBox->setGeometry(160, 95, 170, 40);
    osdBox->setStyleSheet(QString::fromLatin1(kGroupStyle));
    osdCheck = new QCheckBox(QStringLiteral("OSD"), this);
    osdCheck->setGeometry(170, 100, 70, 30);
    pathButton = new QPushButton(QStringLiteral("Path"), this);
    pathButton->setGeometry(250, 100, 70, 30);
    startButton = new QPushButton(QStringLiteral("Start"), this);
    startButton->setGeometry(340, 100, 120, 30);
    closeButton = new QPushButton(QStringLiteral("Close"), this);
    closeButton->setGeometry(470, 100, 120, 30);

    model = new CListConvertModel(this);
    model->SetModelCount(4);
    const QString headers[] = {QStringLiteral("No"), QStringLiteral("Backup File"), QStringLiteral("Convert File"),
                               QString()};
    for (int column = 0; column < 4; ++column) {
        model->SetHeaderText(column, headers[column]);
        model->SetColumnAlignment(column, int(Qt::AlignCenter));
    }
    table = new QTableView(this);
    table->setGeometry(10, 140, 580, 200);
    table->setModel(model);
    table->verticalHeader()->hide();
    table->setFrameStyle(QFrame::Box);
    table->setSelectionMode(QAbstractItemView::SingleSelection);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->viewport()->setAttribute(Qt::WA_StaticContents);
    const int widths[] = {80, 190, 190, 118};
    for (int column = 0; column < 4; ++column)
        table->setColumnWidth(column, widths[column]);

    connect(mp4Radio, &QRadioButton::clicked, this, &CAVIConvert::OnClickedRadio);
    connect(aviRadio, &QRadioButton::clicked, this, &CAVIConvert::OnClickedRadio);
    connect(pathButton, &QPushButton::clicked, this, &CAVIConvert::OnClickedPath);
    connect(startButton, &QPushButton::clicked, this, &CAVIConvert::OnClickedStart);
    connect(closeButton, &QPushButton::clicked, this, &CAVIConvert::OnClickedClose);
    connect(table, &QTableView::clicked, this, &CAVIConvert::OnClickedList);
    connect(osdCheck, &QCheckBox::toggled, this, [this](bool on) { timeOverlay = on; });
    // Emitted by the worker: they arrive queued on the user-interface thread.
    connect(this, &CAVIConvert::FinishPopup, this, &CAVIConvert::OnFinishPopup);
    connect(this, &CAVIConvert::ProgressValue, this, &CAVIConvert::OnProgressValue);
    connect(this, &CAVIConvert::ConvertFailed, this, &CAVIConvert::OnConvertFailed);
}

CAVIConvert::~CAVIConvert()
{
    qCDebug(lcConvert) << "dealloc CAVIConvert !!!";
    destroying = true;
    worker->WaitThread();
}

void CAVIConvert::ShowBox(const QString& text)
{
    MessageDlg box(this, MessageDlg::Fixed);
    box.SetText(QString::fromLatin1(kTitle), text);
    box.exec();
}

bool CAVIConvert::AddList(const QString& folder, const QString& fileName)
{
    const int n = model->rowCount();
    if (n >= kMaxFiles) {
        ShowBox(QStringLiteral("MP4 Convert list limit: 30 files"));
        return false;
    }
    for (int row = 0; row < n; ++row) {
        const auto* item = model->data(model->index(row, 0), kRecordRole).value<ListConvertItem*>();
        if (item && item->fileName == fileName) {
            qCDebug(lcConvert) << " >>> CAVIConvert : is equal not_add =" << fileName << " vs index =" << row;
            ShowBox(QStringLiteral("The same file already exists in the list."));
            return false;
        }
    }
    model->insertRows(n, 1);
    model->setData(model->index(n, 0), int(CListConvertModel::Checked), Qt::CheckStateRole);
    auto* item = model->data(model->index(n, 0), kRecordRole).value<ListConvertItem*>();
    item->number = n + 1;
    item->folder = folder;
    item->fileName = fileName;
    model->setData(model->index(n, 0), QVariant::fromValue(item), kRecordRole);
    table->setRowHeight(n, 20);
    mp4Radio->setEnabled(true);
    aviRadio->setEnabled(true);
    pathButton->show();
    startButton->show();
    return true;
}

void CAVIConvert::SetArchivePath(const QString& folder, const QString& fileName)
{
    {
        QMutexLocker lock(&outputLock);
        if (outputFolder.isEmpty())
            outputFolder = folder;
        outputName = fileName;
    }
    UpdateOutPathName();
}

QString CAVIConvert::OutputPath() const
{
    QMutexLocker lock(&outputLock);
    return outputFolder + outputName + QLatin1Char('.') + extension;
}

void CAVIConvert::UpdateOutPathName()
{
    // The container cannot change while converting: the radio buttons are disabled then.
    if (!IsConverting()) {
        QMutexLocker lock(&outputLock);
        extension = mp4Radio->isChecked() ? QStringLiteral("mp4") : QStringLiteral("avi");
    }
    const QString text = OutputPath();
    outPathLabel->setText(text);
    qCDebug(lcConvert) << " CAVIConvert : UpdateOutPathName setText =" << text;
    model->SetExtension(extension);
}

void CAVIConvert::OnClickedRadio()
{
    UpdateOutPathName();
}

void CAVIConvert::OnClickedPath()
{
    const QString start = [this] {
        QMutexLocker lock(&outputLock);
        return outputFolder;
    }();
    const QString answer = QFileDialog::getExistingDirectory(this, QStringLiteral("Select Folder"), start,
                                                             QFileDialog::ShowDirsOnly
                                                                 | QFileDialog::DontResolveSymlinks);
    qCDebug(lcConvert) << " CAVIConvert : OnClickedPath Path =" << answer;
    if (!answer.isEmpty()) {
        QMutexLocker lock(&outputLock);
        outputFolder = answer + QLatin1Char('/');
    }
    UpdateOutPathName();
}

bool CAVIConvert::IsConverting() const
{
    return worker->IsRunning();
}

void CAVIConvert::OnClickedStart()
{
    if (IsConverting())
        return;
    jobs.clear();
    failedFiles.clear();
    for (int row = 0; row < model->rowCount(); ++row) {
        const QModelIndex index = model->index(row, 0);
        const auto* item = model->data(index, kRecordRole).value<ListConvertItem*>();
        if (item && model->data(index, Qt::CheckStateRole).toInt() == CListConvertModel::Checked)
            jobs.append(Job{item->folder, item->fileName});
    }
    {
        QMutexLocker lock(&outputLock);
        extension = mp4Radio->isChecked() ? QStringLiteral("mp4") : QStringLiteral("avi");
    }
    timeOverlay = osdCheck->isChecked();
    stopConvert = false;
    mp4Radio->setEnabled(false);
    aviRadio->setEnabled(false);
    pathButton->hide();
    startButton->hide();
    worker->StartThread(&CAVIConvert::THREAD_AVI_MUXER, this, 0);
}

void CAVIConvert::OnClickedClose()
{
    close();
}

void CAVIConvert::OnClickedList(const QModelIndex& index)
{
    if (!index.isValid())
        return;
    if (index.column() == 0) {
        const int state = model->data(index, Qt::CheckStateRole).toInt();
        qCDebug(lcConvert, "Clicked List : index = %d %d >>> nState=0x%x", index.row(), index.column(), state);
        if (state == CListConvertModel::Unchecked)
            model->setData(index, int(CListConvertModel::Checked), Qt::CheckStateRole);
        else if (state == CListConvertModel::Checked)
            model->setData(index, int(CListConvertModel::Unchecked), Qt::CheckStateRole);
    } else if (index.column() == 3) {
        const auto* item = model->data(index, kRecordRole).value<ListConvertItem*>();
        if (!item)
            return;
        qCDebug(lcConvert) << "Path=" + item->folder + ", File=" + item->fileName;
        RevealFile(this, item->folder + item->fileName);
    }
}

void CAVIConvert::OnProgressValue(int value)
{
    progress->setValue(value);
}

void CAVIConvert::OnConvertFailed(const QString& fileName)
{
    failedFiles.append(fileName);
}

void CAVIConvert::OnFinishPopup(bool stopped)
{
    QString text = stopped ? QStringLiteral("MP4 Convert Stop") : QStringLiteral("MP4 Convert Finish");
    // A file that could not be written is never reported as finished.
    if (!failedFiles.isEmpty())
        text = QStringLiteral("MP4 Convert Fail: ") + failedFiles.join(QStringLiteral(", "));
    failedFiles.clear();
    ShowBox(text);
}

void CAVIConvert::RevealFile(QWidget*, const QString& path)
{
    QString arguments;
    if (!QFileInfo(path).isDir())
        arguments = QStringLiteral("/select,");
    arguments += QDir::toNativeSeparators(path);
    qCDebug(lcConvert) << " CAVIConvert : RevealFile command =" << QStringLiteral("explorer.exe ") + arguments;
    platform::FileManager::Reveal(path);
}

void CAVIConvert::closeEvent(QCloseEvent* event)
{
    qCDebug(lcConvert) << "close event";
    while (model->rowCount() > 0)
        model->removeRows(0, 1);
    {
        QMutexLocker lock(&outputLock);
        outputFolder.clear();
    }
    mp4Radio->setEnabled(true);
    aviRadio->setEnabled(true);
    pathButton->show();
    startButton->show();
    if (IsConverting())
        stopConvert = true;
    event->accept();
}

void CAVIConvert::dragEnterEvent(QDragEnterEvent* event)
{
    if (event->mimeData()->hasFormat(QString::fromLatin1(SiteBook::MimeType)))
        event->accept();
    else
        event->ignore();
}

void CAVIConvert::dragMoveEvent(QDragMoveEvent* event)
{
    if (event->mimeData()->hasFormat(QString::fromLatin1(SiteBook::MimeType))) {
        event->setDropAction(Qt::MoveAction);
        event->accept();
    } else {
        event->ignore();
    }
}

void CAVIConvert::dropEvent(QDropEvent* event)
{
    if (!event->mimeData()->hasFormat(QString::fromLatin1(SiteBook::MimeType))) {
        event->ignore();
        return;
    }
    QByteArray bytes = event->mimeData()->data(QString::fromLatin1(SiteBook::MimeType));
    QDataStream stream(&bytes, QIODevice::ReadOnly);
    stream.setVersion(SiteBook::StreamVersion);
    SiteBook record;
    stream >> record;
    if (stream.status() != QDataStream::Ok || record.kind != QLatin1String("archiveData"))
        return;
    const QString path = record.path;
    const QString fileName = record.name;
    if (fileName.isEmpty() || !path.endsWith(fileName))
        return;
    const QString folder = path.left(path.size() - fileName.size());
    qCDebug(lcConvert) << "CAVIConvert : dropEvent : type =" << record.kind << " archivepath =" << path
                       << " name =" << fileName;
    if (AddList(folder, fileName))
        SetArchivePath(folder, fileName);
    event->setDropAction(Qt::CopyAction);
    event->accept();
}

void CAVIConvert::THREAD_AVI_MUXER(void* dialog, int cell)
{
    qCDebug(lcConvert) << "\n\n THREAD_AVI_MUXER START Thread nCameo =" << cell;
    static_cast<CAVIConvert*>(dialog)->RunJobs();
    qCDebug(lcConvert) << " THREAD_AVI_MUXER END Thread nCameo =" << cell << "\n\n";
}

void CAVIConvert::RunJobs()
{
    const QString fontFile = TimeOverlay::FontFile(programDirectory);
    QString formatName;
    {
        QMutexLocker lock(&outputLock);
        formatName = extension;
    }
    const auto stopRequested = [this] { return destroying.load() || stopConvert.load(); };
    const auto reportProgress = [this](int percent) { emit ProgressValue(percent); };
    for (const Job& job : qAsConst(jobs)) {
        if (stopRequested())
            break;
        qCDebug(lcConvert) << " >>> CAVIConvert : file =" << job.fileName;
        {
            QMutexLocker lock(&outputLock);
            if (outputFolder.isEmpty())
                outputFolder = job.folder;
            outputName = job.fileName;
        }
        QMetaObject::invokeMethod(this, &CAVIConvert::UpdateOutPathName, Qt::QueuedConnection);
        ConvertJob::Options options;
        options.outputPath = OutputPath();
        options.formatName = formatName;
        options.timeOverlay = timeOverlay.load();
        options.fontFile = fontFile;
        emit ProgressValue(0);
        ConvertJob convert(options);
        const ConvertJob::Result result = convert.Run(*grid, job.folder, job.fileName, stopRequested,
                                                      reportProgress);
        // A whole file is 100 %, wherever the last second read put the bar.
        if (result == ConvertJob::Result::Written)
            emit ProgressValue(100);
        if (result == ConvertJob::Result::NoFile || result == ConvertJob::Result::NotOpened)
            emit ConvertFailed(convert.ErrorText().isEmpty()
                                   ? job.fileName
                                   : job.fileName + QStringLiteral(": ") + convert.ErrorText());
    }
    const bool stopped = stopConvert.load();
    emit FinishPopup(stopped);
    stopConvert = false;
}
