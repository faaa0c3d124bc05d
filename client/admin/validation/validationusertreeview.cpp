#include "validation/validationusertreeview.h"

#include "core/adminlog.h"
#include "core/treemodel.h"
#include "session/sitebook.h"
#include "sitebook/cadddvrdialog.h"
#include "sitebook/cfinddvrdialog.h"
#include "sitebook/recorderlistfile.h"
#include "validation/caddgroupdialog.h"
#include "validation/validationaccounteditor.h"
#include "validation/validationhub.h"
#include "validation/validationsession.h"
#include "widgets/messagedlg.h"

#include <QDrag>
#include <QDragEnterEvent>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QHeaderView>
#include <QMenu>
#include <QMimeData>
#include <QPixmap>

namespace {
const QString kDvr = QStringLiteral("dvr");
const QString kGroup = QStringLiteral("group");
const QString kNormal = QStringLiteral("normal");
// The drag format of the tree (and of the site book); the body stays empty, the view keeps the
// dragged node.
const QString kDragFormat = QStringLiteral("application/x-qabstractitemmodeldatalist");

QString DragPixmap(const QString& type)
{
    if (type == QLatin1String("super"))
        return QStringLiteral(":res/account_super_off.PNG");
    if (type == kNormal)
        return QStringLiteral(":res/account_normal_off.PNG");
    if (type == kDvr)
        return QStringLiteral(":/res/Resource/DVRDisable.png");
    if (type == kGroup)
        return QStringLiteral(":/res/Resource/folder.png");
    return QString();
}
} // namespace

ValidationUserTreeView::ValidationUserTreeView(ValidationSession& session, ValidationHub& hub, QWidget* parent)
    : QTreeView(parent)
    , m_session(session)
    , m_hub(hub)
{
    setModel(&m_session.Model());
    setColumnWidth(0, 200);
    setColumnWidth(1, 100);
    setColumnWidth(2, 50);
    setColumnWidth(3, 250);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setContextMenuPolicy(Qt::CustomContextMenu);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setDragEnabled(true);
    setAcceptDrops(true);
    viewport()->setAcceptDrops(true);
    setDragDropMode(QAbstractItemView::DragDrop);
    setDropIndicatorShown(true);
    connect(this, &QWidget::customContextMenuRequested, this, &ValidationUserTreeView::customMenuRequested);
    connect(&m_session, &ValidationSession::Expand, this, [this](const QModelIndex& index) {
        if (index.isValid())
            expand(index);
        else
            expandAll();
    });
}

void ValidationUserTreeView::AddExports(QMenu& menu, const QString& type)
{
    menu.addSeparator();
    if (ValidationTreeOps::IsAccountType(type)) {
        menu.addAction(QStringLiteral("Chatting"), this, &ValidationUserTreeView::chatStart);
        // Only an account that is logged in now has a log to export.
        const QModelIndex online = m_session.Model().index(m_menuIndex.row(), 2, m_menuIndex.parent());
        menu.addAction(QStringLiteral("Export Validation log"), this, &ValidationUserTreeView::exportLog)
            ->setEnabled(QModelIndex(m_menuIndex) != QModelIndex(m_session.RootIndex())
                         && online.data().toString() == QLatin1String("O"));
    }
    menu.addAction(QStringLiteral("Export DVR Check"), this, &ValidationUserTreeView::healthCheck);
}

bool ValidationUserTreeView::BuildMenu(QMenu& menu, const QModelIndex& node)
{
    // One command at a time: while the server has not answered the last one (or a paste or an
    // import runs), a second would take its place and the first answer would be lost.
    if (!m_hub.IsValidationConnected() || !node.isValid() || node.column() != 0 || m_session.HasPending())
        return false;
    const ValidationAccount* record = m_session.Tree().Record(node);
    if (!record)
        return false;
    m_menuIndex = node;
    const QString& type = record->type;
    if (m_session.RootType() == kNormal) {
        if (type == kDvr || type == kGroup)
            menu.addAction(QStringLiteral("Property"), this, &ValidationUserTreeView::OnModifyItem);
        if (type == kGroup) {
            menu.addSeparator();
            menu.addAction(QIcon(QStringLiteral(":/res/Resource/find.png")), QStringLiteral("Find DVR"), this,
                           &ValidationUserTreeView::OnSearchDvr);
        }
        return true;
    }
    if (type == kDvr) {
        menu.addAction(QStringLiteral("Copy DVR"), this, &ValidationUserTreeView::OnCopyDvr);
        menu.addAction(QStringLiteral("Property"), this, &ValidationUserTreeView::OnModifyItem);
        menu.addAction(QStringLiteral("Delete"), this, &ValidationUserTreeView::OnDeleteItem);
        AddExports(menu, type);
        return true;
    }
    const bool root = type == QLatin1String("root");
    const bool owner = type == QLatin1String("admin") || type == QLatin1String("super") || type == kGroup;
    if (!root && !owner && type != kNormal)
        return true;
    menu.addAction(QStringLiteral("New Group"), this, &ValidationUserTreeView::OnAddGroup);
    if (root || owner)
        menu.addAction(QStringLiteral("New Account"), this, &ValidationUserTreeView::OnAddAccount);
    if (!root) {
        menu.addAction(QStringLiteral("New DVR"), this, &ValidationUserTreeView::OnAddDvr);
        if (m_copiedIndex.isValid() && m_copiedDvrs > 0)
            menu.addAction(QStringLiteral("Paste DVR"), this, &ValidationUserTreeView::OnPasteDvr);
    }
    menu.addSeparator();
    menu.addAction(QStringLiteral("Property"), this, &ValidationUserTreeView::OnModifyItem);
    // The logged-in account's own node is never offered for deletion.
    if (!root && m_session.CanDelete(node))
        menu.addAction(QStringLiteral("Delete"), this, &ValidationUserTreeView::OnDeleteItem);
    menu.addSeparator();
    menu.addAction(QIcon(QStringLiteral(":/res/Resource/find.png")), QStringLiteral("Find DVR"), this,
                   &ValidationUserTreeView::OnSearchDvr);
    if (!root)
        menu.addAction(QIcon(QStringLiteral(":/res/Resource/import.png")), QStringLiteral("Import DVR list"), this,
                       &ValidationUserTreeView::insertDvrExcel);
    AddExports(menu, type);
    return true;
}

void ValidationUserTreeView::customMenuRequested(const QPoint& point)
{
    QModelIndex node = currentIndex();
    node = node.isValid() ? node.siblingAtColumn(0) : QModelIndex(m_session.RootIndex());
    QMenu menu(this);
    if (!BuildMenu(menu, node) || menu.isEmpty())
        return;
    menu.exec(mapToGlobal(point + QPoint(0, 20)));
}

void ValidationUserTreeView::OnAddGroup()
{
    const ValidationAccount* parent = m_session.Tree().Record(m_menuIndex);
    if (!parent)
        return;
    CAddGroupDialog dialog(m_hub, this);
    dialog.SetGroup(false);
    if (dialog.exec() != QDialog::Accepted)
        return;
    auto group = std::make_unique<ValidationAccount>();
    group->parent_id = parent->id;
    group->type = kGroup;
    group->name = dialog.name;
    group->description = dialog.description;
    group->report_mail.clear();
    m_session.AddAccount(m_menuIndex, std::move(group));
}

void ValidationUserTreeView::OnAddAccount()
{
    ValidationAccountEditor(m_session, m_hub, this).Add(m_menuIndex);
}

void ValidationUserTreeView::OnAddDvr()
{
    const ValidationAccount* parent = m_session.Tree().Record(m_menuIndex);
    if (!parent)
        return;
    CAddDvrDialog dialog(this);
    dialog.setEditable(true);
    if (dialog.exec() != QDialog::Accepted)
        return;
    auto dvr = std::make_unique<ValidationAccount>();
    dvr->parent_id = parent->id;
    dvr->type = kDvr;
    dvr->name = dialog.name;
    dvr->dvr_host = dialog.addr;
    dvr->dvr_port = dialog.port;
    dvr->dvr_login_id = dialog.id;
    dvr->dvr_password = dialog.password;
    dvr->dvr_permission_live = dialog.permissionLive;
    dvr->dvr_permission_search = dialog.permissionSearch;
    dvr->dvr_permission_ptz = dialog.permissionPtz;
    dvr->dvr_permission_backup = dialog.permissionBackup;
    dvr->dvr_permission_config = dialog.permissionConfig != 0;
    dvr->use_ssl = dialog.use_ssl;
    dvr->dvr_option = dialog.quality;
    m_session.AddDvr(m_menuIndex, std::move(dvr));
}

void ValidationUserTreeView::OnModifyItem()
{
    const ValidationAccount* record = m_session.Tree().Record(m_menuIndex);
    if (!record)
        return;
    const bool readOnly = m_session.RootType() == kNormal;
    if (record->type == kGroup) {
        CAddGroupDialog dialog(m_hub, this);
        dialog.name = record->name;
        dialog.description = record->description;
        dialog.SetGroup(readOnly);
        if (dialog.exec() != QDialog::Accepted)
            return;
        auto changed = std::make_unique<ValidationAccount>(*record);
        changed->name = dialog.name;
        changed->description = dialog.description;
        m_session.ModifyAccount(m_menuIndex, std::move(changed));
        return;
    }
    if (ValidationTreeOps::IsAccountType(record->type)) {
        ValidationAccountEditor(m_session, m_hub, this).Modify(m_menuIndex);
        return;
    }
    if (record->type != kDvr)
        return;
    SiteBook entry;
    entry.name = record->name;
    entry.addr = record->dvr_host;
    entry.port = record->dvr_port;
    entry.id = record->dvr_login_id;
    entry.password = record->dvr_password;
    entry.permissionLive = record->dvr_permission_live;
    entry.permissionSearch = record->dvr_permission_search;
    entry.permissionPtz = record->dvr_permission_ptz;
    entry.permissionBackup = record->dvr_permission_backup;
    entry.permissionConfig = record->dvr_permission_config ? 1 : 0;
    CAddDvrDialog dialog(this);
    dialog.setSiteBook(&entry);
    dialog.setEditable(!readOnly);
    if (dialog.exec() != QDialog::Accepted || readOnly)
        return;
    auto changed = std::make_unique<ValidationAccount>(*record);
    changed->name = dialog.name;
    changed->dvr_host = dialog.addr;
    changed->dvr_port = dialog.port;
    changed->dvr_login_id = dialog.id;
    changed->dvr_password = dialog.password;
    changed->dvr_permission_live = dialog.permissionLive;
    changed->dvr_permission_search = dialog.permissionSearch;
    changed->dvr_permission_ptz = dialog.permissionPtz;
    changed->dvr_permission_backup = dialog.permissionBackup;
    changed->dvr_permission_config = dialog.permissionConfig != 0;
    m_session.ModifyDvr(m_menuIndex, std::move(changed));
}

void ValidationUserTreeView::OnDeleteItem()
{
    const ValidationAccount* record = m_session.Tree().Record(m_menuIndex);
    if (!record || !m_session.CanDelete(m_menuIndex))
        return;
    // The server deletes everything below the node too: ask first.
    MessageDlg box(this, MessageDlg::Question);
    box.SetText(QStringLiteral("Validation"), QStringLiteral("Delete \"%1\" and everything below it?")
                                                  .arg(record->name.isEmpty() ? record->user_id : record->name));
    box.setModal(true);
    if (box.exec() != 1)
        return;
    m_session.Delete(m_menuIndex);
}

void ValidationUserTreeView::OnCopyDvr()
{
    if (!m_session.Tree().Record(m_menuIndex))
        return;
    m_copiedIndex = m_menuIndex;
    m_copiedSelection.clear();
    m_copiedDvrs = 0;
    QModelIndexList selected = selectionModel()->selectedRows(0);
    // A right click on a row outside the selection copies that row alone.
    if (!selected.contains(QModelIndex(m_menuIndex)))
        selected = {QModelIndex(m_menuIndex)};
    for (const QModelIndex& index : selected) {
        m_copiedSelection.append(QPersistentModelIndex(index));
        const ValidationAccount* record = m_session.Tree().Record(index);
        if (record && record->type == kDvr)
            ++m_copiedDvrs;
    }
}

void ValidationUserTreeView::OnPasteDvr()
{
    if (m_copiedDvrs == 0 || !m_session.Tree().Record(m_menuIndex))
        return;
    m_session.PasteDvrs(m_menuIndex, m_copiedSelection);
}

void ValidationUserTreeView::OnSearchDvr()
{
    CFindDvrDialog dialog(this);
    dialog.setFindMode(true);
    dialog.SetLastPosition(-1);
    dialog.SetValidationFinder([this](const QString& name, int last) { return FindDvr(name, last); });
    dialog.setModal(true);
    dialog.exec();
}

int ValidationUserTreeView::FindDvr(const QString& name, int startRow)
{
    QModelIndex found;
    const int position = m_session.Tree().FindDvrFrom(name, std::max(0, startRow + 1), &found);
    if (position < 0)
        return -1;
    for (QModelIndex up = found.parent(); up.isValid(); up = up.parent())
        expand(up);
    setCurrentIndex(found);
    selectionModel()->select(found, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    scrollTo(found, QAbstractItemView::EnsureVisible);
    return position;
}

void ValidationUserTreeView::insertDvrExcel()
{
    const QString path = QFileDialog::getOpenFileName(this, QStringLiteral("Open Excel File"), QString(),
                                                      QStringLiteral("ZENT Excel Files (*.xls)"));
    if (!path.isEmpty())
        ImportFile(path);
}

bool ValidationUserTreeView::ImportFile(const QString& path)
{
    if (!m_session.Tree().Record(m_menuIndex))
        return false;
    std::vector<RecorderListEntry> rows;
    // The whole list is read before anything is sent: a file that cannot be read changes nothing.
    if (!RecorderListFile::ReadWorkbook(path, &rows)) {
        m_hub.ShowMessage(QStringLiteral("Validation"), QStringLiteral("Import file error"));
        return false;
    }
    qCDebug(lcAdmin) << "excel" << path << rows.size();
    m_session.ImportDvrs(m_menuIndex, rows);
    return true;
}

void ValidationUserTreeView::exportLog()
{
    if (!m_session.Tree().Record(m_menuIndex))
        return;
    const QModelIndex online = m_session.Model().index(m_menuIndex.row(), 2, m_menuIndex.parent());
    if (online.data().toString() == QLatin1String("O"))
        emit ExportLogRequested(m_menuIndex);
}

void ValidationUserTreeView::chatStart()
{
    if (m_session.Tree().Record(m_menuIndex))
        emit ChatRequested(m_menuIndex);
}

void ValidationUserTreeView::healthCheck()
{
    if (m_session.Tree().Record(m_menuIndex))
        emit DvrCheckRequested(m_menuIndex);
}

bool ValidationUserTreeView::MoveNode(const QModelIndex& source, const QModelIndex& target)
{
    if (!source.isValid()) {
        qCDebug(lcAdmin) << "error 1";
        return false;
    }
    if (!target.isValid()) {
        qCDebug(lcAdmin) << "error 2";
        return false;
    }
    if (!m_session.Move(source, target)) {
        qCDebug(lcAdmin) << "error 3";
        return false;
    }
    return true;
}

void ValidationUserTreeView::startDrag(Qt::DropActions)
{
    const QModelIndex current = currentIndex();
    const QModelIndex source = current.isValid() ? current.siblingAtColumn(0) : QModelIndex();
    const ValidationAccount* record = m_session.Tree().Record(source);
    if (!record) {
        qCDebug(lcAdmin) << "NULL-----------------";
        m_dragSource = QPersistentModelIndex();
        return;
    }
    m_dragSource = source;
    auto* mime = new QMimeData;
    mime->setData(kDragFormat, QByteArray());
    auto* drag = new QDrag(this);
    drag->setMimeData(mime);
    const QString picture = DragPixmap(record->type);
    if (!picture.isEmpty()) {
        const QPixmap pixmap(picture);
        drag->setPixmap(pixmap);
        drag->setHotSpot(QPoint(pixmap.width() / 2, pixmap.height() / 2));
    }
    drag->exec(Qt::MoveAction);
    m_dragSource = QPersistentModelIndex();
}

void ValidationUserTreeView::dragEnterEvent(QDragEnterEvent* event)
{
    if (event->mimeData()->hasFormat(kDragFormat))
        event->acceptProposedAction();
    else
        event->ignore();
}

void ValidationUserTreeView::dragMoveEvent(QDragMoveEvent* event)
{
    if (!event->mimeData()->hasFormat(kDragFormat)) {
        event->ignore();
        return;
    }
    event->setDropAction(Qt::MoveAction);
    event->accept();
}

void ValidationUserTreeView::dropEvent(QDropEvent* event)
{
    // The tree changes only through the server's answer to the move; the model is never handed
    // the drop, so a refused move leaves every row where it was.
    stopAutoScroll();
    setState(NoState);
    viewport()->update();
    const QModelIndex under = indexAt(event->pos());
    const QModelIndex target = under.isValid() ? under.siblingAtColumn(0) : QModelIndex();
    if (MoveNode(m_dragSource, target)) {
        event->setDropAction(Qt::MoveAction);
        event->accept();
    } else {
        event->ignore();
    }
}
