#include "sitebook/support/sitebook_treefixture.h"

#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QPointer>

#include "sitebook/sitebookitem.h"
#include "widgets/messagedlg.h"

void SiteBookTestHub::ShowModalMessage(const QString& title, const QString& text)
{
    FakeSiteBookHub::ShowModalMessage(title, text);
    QPointer<MessageDlg> box = new MessageDlg(nullptr, MessageDlg::Fixed);
    box->SetText(title, text);
    box->exec();
    delete box.data();
}

void SiteBookTreeTest::SetUp()
{
    ASSERT_TRUE(programDir.isValid());
    previousDir = QDir::currentPath();
    QDir::setCurrent(programDir.path());
    hub = std::make_unique<SiteBookTestHub>();
    tree = std::make_unique<SiteBookTreeWidget>();
}

void SiteBookTreeTest::TearDown()
{
    // The recorders leave the hub's table as the tree deletes them.
    tree.reset();
    hub.reset();
    QDir::setCurrent(previousDir);
}

CModuleDevice* SiteBookTreeTest::AddFolder(const QString& name, QTreeWidgetItem* parent)
{
    auto* record = new SiteBook;
    record->kind = QStringLiteral("folder");
    record->name = name;
    CModuleDevice* folder = tree->createTreeItem(parent, record, EntryMode::Folder);
    folder->setText(0, name);
    return folder;
}

CModuleDevice* SiteBookTreeTest::AddRecorder(const QString& name, QTreeWidgetItem* parent)
{
    auto* record = new SiteBook;
    record->kind = QStringLiteral("device");
    record->name = name;
    CModuleDevice* device = tree->createTreeItem(parent, record, EntryMode::Recorder);
    device->setText(0, name);
    return device;
}

QTreeWidgetItem* AddPlainItem(QTreeWidgetItem* parent, const QString& kind, const QString& name)
{
    auto* record = new SiteBook;
    record->kind = kind;
    record->name = name;
    auto* item = new SiteBookItem(parent, record);
    item->setText(0, name);
    return item;
}

QStringList SiteBookTreeTest::ChildNames(const QTreeWidgetItem* item)
{
    QStringList names;
    for (int i = 0; item && i < item->childCount(); ++i) {
        const SiteBook* record = SiteBook::FromItem(item->child(i));
        names << (record ? record->name : QStringLiteral("<no record>"));
    }
    return names;
}

QString SiteBookTreeTest::KindOf(const QTreeWidgetItem* item)
{
    const SiteBook* record = SiteBook::FromItem(item);
    return record ? record->kind : QStringLiteral("<no record>");
}

MessageBoxCatcher::MessageBoxCatcher()
{
    QObject::connect(&m_timer, &QTimer::timeout, [this] { Tick(); });
    m_timer.start(5);
}

MessageBoxCatcher::~MessageBoxCatcher()
{
    m_timer.stop();
}

void MessageBoxCatcher::Tick()
{
    const QWidgetList all = QApplication::allWidgets();
    for (QWidget* w : all) {
        auto* box = qobject_cast<MessageDlg*>(w);
        if (!box || !box->isVisible())
            continue;
        QString text;
        if (auto* label = box->findChild<QLabel*>(QStringLiteral("label")))
            text = label->text();
        m_seen << box->windowTitle() + QLatin1Char('|') + text;
        box->done(0);
    }
}
