#include "validation/validationview.h"

#include "core/adminlog.h"
#include "core/treemodel.h"
#include "validation/validationchat.h"
#include "validation/validationeventrows.h"
#include "validation/validationexport.h"
#include "validation/validationhub.h"
#include "validation/validationnoticeview.h"
#include "validation/validationopenlog.h"
#include "validation/validationsession.h"
#include "validation/validationusertreeview.h"

#include <QCloseEvent>
#include <QDate>
#include <QDir>
#include <QFileDialog>
#include <QFont>
#include <QIcon>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTabWidget>
#include <QTimer>
#include <QTreeView>
#include <QVBoxLayout>

namespace {
QTreeView* FlatList(TreeModel* model, const QList<int>& widths, QWidget* parent)
{
    auto* view = new QTreeView(parent);
    view->setModel(model);
    view->setRootIsDecorated(false);
    view->setSelectionMode(QAbstractItemView::SingleSelection);
    view->setSelectionBehavior(QAbstractItemView::SelectRows);
    view->setContextMenuPolicy(Qt::CustomContextMenu);
    for (int column = 0; column < widths.size(); ++column)
        view->setColumnWidth(column, widths[column]);
    return view;
}
} // namespace

ValidationView::ValidationView(ValidationSession& session, ValidationHub& hub, QWidget* parent)
    : QDialog(parent)
    , m_session(session)
    , m_hub(hub)
    , m_tabs(new QTabWidget(this))
    , m_tree(new ValidationUserTreeView(session, hub, this))
    , m_monitoringModel(new TreeModel(ValidationEventRows::MonitoringHeaders(), this))
    , m_eventModel(new TreeModel(ValidationEventRows::EventHeaders(), this))
    , m_monitoringRows(new ValidationEventRows(*m_monitoringModel))
    , m_eventRows(new ValidationEventRows(*m_eventModel))
    , m_notices(new ValidationNoticeView(this))
    , m_openLog(new QPushButton(QStringLiteral("Open Log"), this))
    , m_statusIcon(new QLabel(this))
    , m_chat(new ValidationChat(this))
{
    setWindowTitle(QStringLiteral("Validation Viewer"));
    setWindowIcon(QIcon(QStringLiteral(":/res/db_normal.PNG")));
    setWindowFlags(Qt::Tool | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    setMinimumSize(900, 680);

    m_monitoring = FlatList(m_monitoringModel, {120, 120, 120, 120, 120, 120, 120, 80, 80}, this);
    auto* events = FlatList(m_eventModel, {100, 100, 150, 250}, this);
    m_monitoringPage = Page(m_monitoring);
    m_tabs->addTab(Page(m_tree), QIcon(QStringLiteral(":res/Resource/account.png")), QStringLiteral("User List"));
    m_tabs->addTab(m_monitoringPage, QIcon(QStringLiteral(":res/Resource/icon_notice.png")),
                   QStringLiteral("Event List"));
    m_tabs->addTab(Page(m_notices), QIcon(QStringLiteral(":res/Resource/icon_notice.png")),
                   QStringLiteral("Notice"));
    m_tabs->addTab(Page(events), QIcon(QStringLiteral(":res/Resource/48.png")), QStringLiteral("Log List"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_tabs);

    auto* status = new QLabel(QStringLiteral("Server status"), this);
    status->setGeometry(775, 10, 100, 20);
    m_statusIcon->setGeometry(870, 9, 20, 20);
    SetStatusIcon(false);
    m_openLog->setGeometry(510, 10, 100, 21);
    m_openLog->setMinimumSize(1, 1);
    QFont font(QStringLiteral("Lucida"), 8);
    font.setBold(true);
    m_openLog->setFont(font);
    m_openLog->hide();

    connect(m_tabs, &QTabWidget::currentChanged, this, &ValidationView::OnSelectTab);
    connect(m_openLog, &QPushButton::clicked, this, &ValidationView::onOpenLogClicked);
    connect(m_tree, &ValidationUserTreeView::ExportLogRequested, this, &ValidationView::OnExportLogStart);
    connect(m_tree, &ValidationUserTreeView::DvrCheckRequested, this, &ValidationView::OnDvrCheckStart);
    connect(m_tree, &ValidationUserTreeView::ChatRequested, this, &ValidationView::ChatStart);
    connect(&m_session, &ValidationSession::LoggedIn, this, &QWidget::show);
    connect(&m_session, &ValidationSession::RootChanged, this, &ValidationView::SetTabs);
    connect(&m_session, &ValidationSession::ConnectedChanged, this, &ValidationView::SetStatusIcon);
    connect(&m_session, &ValidationSession::NoticeList, m_notices, &ValidationNoticeView::SetNoticeList);
    connect(m_notices, &ValidationNoticeView::PageRequested, this,
            [this](int page) { m_session.RequestNotices(std::max(page, 0)); });
    connect(&m_session, &ValidationSession::EventLog, this, &ValidationView::AddEventLog);
    connect(&m_session, &ValidationSession::MonitoringRow, this,
            [this](const QStringList& texts) { m_monitoringRows->UpdateMonitoringRow(texts); });
    connect(&m_session, &ValidationSession::ServerMessagePending, this,
            [this] { QTimer::singleShot(100, this, &ValidationView::OnServerMessage); });
    connect(m_monitoring, &QWidget::customContextMenuRequested, this, [this](const QPoint& point) {
        if (!m_monitoring->currentIndex().isValid())
            return;
        QMenu menu(this);
        menu.addAction(QIcon(QStringLiteral(":/res/Resource/email.png")), QStringLiteral("Send Email report"),
                       this, &ValidationView::OnSendEmail);
        menu.exec(m_monitoring->viewport()->mapToGlobal(point) + QPoint(0, 20));
    });
    m_eventRows->LoadLog(m_hub.ProgramDirectory() + QStringLiteral("/ZENT_LOG/validationlog.log"));
}

ValidationView::~ValidationView()
{
    delete m_monitoringRows;
    delete m_eventRows;
}

QWidget* ValidationView::Page(QWidget* content)
{
    auto* page = new QWidget(this);
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(content);
    return page;
}

void ValidationView::SetStatusIcon(bool connected)
{
    m_statusIcon->setPixmap(
        QPixmap(connected ? QStringLiteral(":/res/hdd_on.png") : QStringLiteral(":/res/hdd_off.png")));
}

void ValidationView::SetTabs(bool admin)
{
    const bool four = m_tabs->count() == 4;
    if (!admin && four) {
        m_tabs->removeTab(1);
        m_openLog->setGeometry(380, 10, 100, 21);
    } else if (admin && !four) {
        m_tabs->insertTab(1, m_monitoringPage, QIcon(QStringLiteral(":res/Resource/account.png")),
                          QStringLiteral("Event List"));
        m_openLog->setGeometry(510, 10, 100, 21);
    }
}

void ValidationView::OnSelectTab(int index)
{
    m_openLog->setVisible(index == m_tabs->count() - 1);
    if (index == m_tabs->count() - 2)
        m_session.RequestNotices(0);
}

void ValidationView::AddEventLog(const QString& name, const QString& text)
{
    m_eventRows->InsertEventRow(name, text, QString(), QString());
}

void ValidationView::ChatStart(const QModelIndex& index)
{
    const bool root = index.isValid() && index.siblingAtColumn(0) == QModelIndex(m_session.RootIndex());
    m_chat->Start(root, m_session.UserId());
}

void ValidationView::onOpenLogClicked()
{
    const QString path = QFileDialog::getOpenFileName(this, QStringLiteral("Open Log File"),
                                                      m_hub.ProgramDirectory() + QStringLiteral("/ZENT_LOG"),
                                                      QStringLiteral("Open Log Files (*.log)"));
    if (path.isEmpty())
        return;
    ValidationOpenLog dialog(path, this);
    dialog.setModal(true);
    dialog.exec();
}

void ValidationView::OnServerMessage()
{
    // One box at a time: a message that arrives while one is shown waits its turn.
    if (m_showingMessage)
        return;
    m_showingMessage = true;
    for (QString text = m_session.TakeServerMessage(); !text.isNull(); text = m_session.TakeServerMessage()) {
        m_chat->AddServerText(text);
        m_hub.ShowMessage(QStringLiteral("Validation"), text);
    }
    m_showingMessage = false;
}

void ValidationView::OnSendEmail()
{
    const int id = m_monitoringRows->AccountIdOfRow(m_monitoring->currentIndex().row());
    if (id >= 0)
        m_session.Line().SendLine(ValidationLine::Email(id));
}

QString ValidationView::ChooseExportFile(const QString& title, const QString& proposed, const QString& filter)
{
    QDir().mkpath(m_hub.ProgramDirectory() + QStringLiteral("/ZENT_LOG"));
    return QFileDialog::getSaveFileName(this, title, proposed, filter);
}

bool ValidationView::WriteExport(const QString& path, const QByteArray& data)
{
    QString error;
    if (ValidationExport::Write(path, data, &error))
        return true;
    m_hub.ShowMessage(
        QStringLiteral("Validation"),
        QStringLiteral("The file %1 could not be written: %2").arg(QDir::toNativeSeparators(path), error));
    return false;
}

void ValidationView::OnExportLogStart(const QModelIndex& node)
{
    if (!node.isValid() || node.siblingAtColumn(0) == QModelIndex(m_session.RootIndex()))
        return;
    qCDebug(lcAdmin) << "find";
    const QString name = node.siblingAtColumn(0).data().toString();
    const QString path = ChooseExportFile(
        QStringLiteral("Export log File"),
        ValidationExport::LogFileName(m_hub.ProgramDirectory(), name, QDate::currentDate()),
        QStringLiteral("Export log Files (*.log)"));
    if (!path.isEmpty())
        ExportLogTo(node, path);
}

void ValidationView::OnDvrCheckStart(const QModelIndex& node)
{
    if (!node.isValid())
        return;
    const QString name = node.siblingAtColumn(0).data().toString();
    const QString path = ChooseExportFile(
        QStringLiteral("Export DVR Check"),
        ValidationExport::DvrCheckFileName(m_hub.ProgramDirectory(), name, QDate::currentDate()),
        QStringLiteral("DVR Check Files (*.csv)"));
    if (!path.isEmpty())
        ExportDvrCheckTo(node, path);
}

bool ValidationView::ExportLogTo(const QModelIndex& node, const QString& path)
{
    const ValidationAccount* record = m_session.Tree().Record(node);
    if (!record)
        return false;
    // The events name an account by its user id (a group by its name).
    const QString source = record->user_id.isEmpty() ? record->name : record->user_id;
    return WriteExport(path, ValidationExport::LogText(*m_eventModel, source));
}

bool ValidationView::ExportDvrCheckTo(const QModelIndex& node, const QString& path)
{
    if (!m_session.Tree().Record(node))
        return false;
    return WriteExport(path, ValidationExport::DvrCheckText(m_session.Tree(), node));
}

void ValidationView::closeEvent(QCloseEvent* event)
{
    if (m_hub.LocalChange() > 0) {
        event->ignore();
        return;
    }
    event->accept();
    hide();
}

void ValidationView::keyPressEvent(QKeyEvent*) {}
