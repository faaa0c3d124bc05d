#include "shell/toolbar.h"

#include <QAction>
#include <QActionGroup>
#include <QFile>
#include <QIcon>
#include <QMenu>
#include <QPainter>
#include <QStyleOption>
#include <QToolButton>

#include "shell/mainwindow.h"

ToolBar::ToolBar(const QString& title, MainWindow* hub)
    : QToolBar(hub)
    , m_pHub(hub)
{
    setWindowTitle(title);
    setObjectName(title);
    setIconSize(QSize(32, 32));

    // An icon of a picture that is not there is left null (QIcon would not tell).
    const auto icon = [](const char* path) {
        const QString file = QLatin1String(path);
        return QFile::exists(file) ? QIcon(file) : QIcon();
    };
    const auto make = [this](const QIcon& icon, const QString& text) { return new QAction(icon, text, this); };
    // Held in the order Live View, Remote Search View, DVR Config View, Emap View, Remote Backup,
    // Backup Player, information, local backup; shown in the order of the bar.
    m_pWindowActions[0] = make(icon(":/res/viewer_normal.PNG"), tr("Live View"));
    m_pWindowActions[1] = make(icon(":/res/search_normal.PNG"), tr("Remote Search View"));
    m_pWindowActions[2] = make(icon(":/res/config_normal.PNG"), tr("DVR Config View"));
    m_pWindowActions[3] = make(icon(":/res/emap_normal.PNG"), tr("Emap View"));
    m_pWindowActions[4] = make(icon(":/res/backup_normal.PNG"), tr("Remote Backup"));
    m_pWindowActions[5] = make(icon(":/res/pc_normal.PNG"), tr("Backup Player"));
    m_pWindowActions[6] = make(icon(":/res/info_normal.PNG"), tr("ZENT Information"));
    m_pWindowActions[7] = make(icon(":/res/local_normal.PNG"), tr("Local Backup"));
    for (int shown : {0, 1, 7, 3, 4, 5, 2, 6})
        addAction(m_pWindowActions[shown]);
    addSeparator();
    m_pSplitActions[0] = addAction(icon(":/res/Resource/split1_3.png"), tr("Split - 1"));
    m_pSplitActions[1] = addAction(icon(":/res/Resource/split4_3.png"), tr("Split - 4"));
    m_pSplitActions[2] = addAction(icon(":/res/Resource/split9_3.png"), tr("Split - 9"));
    m_pSplitActions[3] = addAction(icon(":/res/Resource/split16_3.png"), tr("Split - 16"));
    m_pSplitActions[4] = addAction(icon(":/res/Resource/split25_1.png"), tr("Split - 25"));
    m_pSplitActions[5] = addAction(icon(":/res/Resource/split36_1.png"), tr("Split - 36"));
    m_pSplitActions[6] = addAction(icon(":/res/Resource/split49_1.png"), tr("Split - 49"));
    m_pSplitActions[7] = addAction(icon(":/res/Resource/split64_1.png"), tr("Split - 64"));

    // A button whose picture is missing from the resources shows its text instead of nothing.
    for (QAction* action : actions()) {
        if (action->isSeparator() || !action->icon().isNull())
            continue;
        if (auto* button = qobject_cast<QToolButton*>(widgetForAction(action)))
            button->setToolButtonStyle(Qt::ToolButtonTextOnly);
    }

    connect(m_pWindowActions[0], &QAction::triggered, this, &ToolBar::LiveView);
    connect(m_pWindowActions[1], &QAction::triggered, this, &ToolBar::SearchView);
    connect(m_pWindowActions[2], &QAction::triggered, this, &ToolBar::ConfigView);
    connect(m_pWindowActions[3], &QAction::triggered, this, &ToolBar::EmapView);
    connect(m_pWindowActions[4], &QAction::triggered, this, &ToolBar::BackupView);
    connect(m_pWindowActions[5], &QAction::triggered, this, &ToolBar::PlayerView);
    connect(m_pWindowActions[6], &QAction::triggered, this, &ToolBar::InfoView);
    connect(m_pWindowActions[7], &QAction::triggered, this, &ToolBar::LocalView);
    connect(m_pSplitActions[0], &QAction::triggered, this, &ToolBar::OnSplit1);
    connect(m_pSplitActions[1], &QAction::triggered, this, &ToolBar::OnSplit4);
    connect(m_pSplitActions[2], &QAction::triggered, this, &ToolBar::OnSplit9);
    connect(m_pSplitActions[3], &QAction::triggered, this, &ToolBar::OnSplit16);
    connect(m_pSplitActions[4], &QAction::triggered, this, &ToolBar::OnSplit25);
    connect(m_pSplitActions[5], &QAction::triggered, this, &ToolBar::OnSplit36);
    connect(m_pSplitActions[6], &QAction::triggered, this, &ToolBar::OnSplit49);
    connect(m_pSplitActions[7], &QAction::triggered, this, &ToolBar::OnSplit64);

    m_pPlaceGroup = new QActionGroup(this);
    m_pPlaceGroup->setExclusive(true);
    const auto place = [this](const QString& text) {
        auto* action = new QAction(text, this);
        action->setCheckable(true);
        m_pPlaceGroup->addAction(action);
        return action;
    };
    m_pPlaceLeft = place(tr("Place on Left"));
    m_pPlaceRight = place(tr("Place on Right"));
    m_pPlaceTop = place(tr("Place on Top"));
    m_pPlaceBottom = place(tr("Place on Bottom"));
    connect(m_pPlaceLeft, &QAction::triggered, this, &ToolBar::placeLeft);
    connect(m_pPlaceRight, &QAction::triggered, this, &ToolBar::placeRight);
    connect(m_pPlaceTop, &QAction::triggered, this, &ToolBar::placeTop);
    connect(m_pPlaceBottom, &QAction::triggered, this, &ToolBar::placeBottom);

    m_pMenu = new QMenu(title, this);
    m_pMenu->addAction(toggleViewAction());
    m_pMenu->addSeparator();
    m_pMenu->addAction(m_pPlaceLeft);
    m_pMenu->addAction(m_pPlaceRight);
    m_pMenu->addAction(m_pPlaceTop);
    m_pMenu->addAction(m_pPlaceBottom);
    m_pMenu->addSeparator();
    connect(m_pMenu, &QMenu::aboutToShow, this, &ToolBar::updateMenu);
}

void ToolBar::LiveView()
{
    m_pHub->exeLiveView();
}
void ToolBar::SearchView()
{
    m_pHub->exeSearchView();
}
void ToolBar::LocalView()
{
    m_pHub->exeSearchLocalView();
}
void ToolBar::SetPlayerPresent(bool present)
{
    m_pWindowActions[5]->setEnabled(present);
}
void ToolBar::EmapView()
{
    m_pHub->exeEmapView();
}
void ToolBar::BackupView()
{
    m_pHub->exeBackupView();
}
void ToolBar::PlayerView()
{
    m_pHub->exeOrvane();
}
void ToolBar::ConfigView()
{
    m_pHub->exeConfigView();
}
void ToolBar::InfoView()
{
    m_pHub->exeInfoView();
}
void ToolBar::OnSplit1()
{
    m_pHub->OnScrSplitMode(1);
}
void ToolBar::OnSplit4()
{
    m_pHub->OnScrSplitMode(4);
}
void ToolBar::OnSplit9()
{
    m_pHub->OnScrSplitMode(9);
}
void ToolBar::OnSplit16()
{
    m_pHub->OnScrSplitMode(16);
}
void ToolBar::OnSplit25()
{
    m_pHub->OnScrSplitMode(25);
}
void ToolBar::OnSplit36()
{
    m_pHub->OnScrSplitMode(36);
}
void ToolBar::OnSplit49()
{
    m_pHub->OnScrSplitMode(49);
}
void ToolBar::OnSplit64()
{
    m_pHub->OnScrSplitMode(64);
}

void ToolBar::Place(Qt::ToolBarArea area, bool checked)
{
    if (checked)
        m_pHub->addToolBar(area, this);
}

void ToolBar::placeLeft(bool checked)
{
    Place(Qt::LeftToolBarArea, checked);
}
void ToolBar::placeRight(bool checked)
{
    Place(Qt::RightToolBarArea, checked);
}
void ToolBar::placeTop(bool checked)
{
    Place(Qt::TopToolBarArea, checked);
}
void ToolBar::placeBottom(bool checked)
{
    Place(Qt::BottomToolBarArea, checked);
}

void ToolBar::updateMenu()
{
    const Qt::ToolBarArea area = m_pHub->toolBarArea(this);
    m_pPlaceLeft->setChecked(area == Qt::LeftToolBarArea);
    m_pPlaceRight->setChecked(area == Qt::RightToolBarArea);
    m_pPlaceTop->setChecked(area == Qt::TopToolBarArea);
    m_pPlaceBottom->setChecked(area == Qt::BottomToolBarArea);
    m_pPlaceLeft->setEnabled(isAreaAllowed(Qt::LeftToolBarArea));
    m_pPlaceRight->setEnabled(isAreaAllowed(Qt::RightToolBarArea));
    m_pPlaceTop->setEnabled(isAreaAllowed(Qt::TopToolBarArea));
    m_pPlaceBottom->setEnabled(isAreaAllowed(Qt::BottomToolBarArea));
}

void ToolBar::loadStyleSheet(const QString& name)
{
    setStyleSheet(m_pHub->Settings().ReadStyleSheet(name));
}

void ToolBar::paintEvent(QPaintEvent* /*event*/)
{
    // Through the style, so that a style sheet's background and border apply to the bar.
    QStyleOption option;
    option.initFrom(this);
    QPainter painter(this);
    style()->drawPrimitive(QStyle::PE_Widget, &option, &painter, this);
}

void ToolBar::leaveEvent(QEvent* event)
{
    if (m_pPopup)
        m_pPopup->hide();
    QToolBar::leaveEvent(event);
}
