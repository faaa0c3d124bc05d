#include "shell/validationshell.h"

#include "core/jsonhelper.h"
#include "shell/mainwindow.h"
#include "sitebook/sitebooktreewidget.h"
#include "validation/account.h"
#include "validation/cwaitdlg.h"
#include "validation/validationsession.h"
#include "validation/validationview.h"
#include "widgets/messagedlg.h"

#include <QLabel>
#include <QMessageBox>
#include <QPointer>

ValidationShell::ValidationShell(MainWindow& window)
    : QObject(&window)
    , m_window(window)
    , m_session(new ValidationSession(*this, this))
    , m_view(new ValidationView(*m_session, *this, &window))
    , m_login(new Account(*m_session, *this, &window))
{
    m_view->adjustSize();
    m_view->hide();
    m_login->hide();
    connect(m_session, &ValidationSession::LoggedIn, this, [this] { m_loggedIn = true; });
    connect(m_session, &ValidationSession::RootChanged, this,
            [this] { m_window.GetSiteBookTree()->SetRootServerId(m_session->RootId()); });
}

ValidationShell::~ValidationShell() = default;

void ValidationShell::ShowConsole()
{
    QWidget* shown = m_loggedIn ? static_cast<QWidget*>(m_view) : static_cast<QWidget*>(m_login);
    shown->show();
    shown->raise();
    shown->activateWindow();
}

CWaitDlg* ValidationShell::CreateWaitDialog()
{
    return CWaitDlg::CreateHidden(&m_window);
}

void ValidationShell::AddEventLog(const QString& name, const QString& text)
{
    m_view->AddEventLog(name, text);
}

void ValidationShell::ShowMessage(const QString& title, const QString& text)
{
    // The texts come from the servers: shown as they are, never as markup.
    QPointer<MessageDlg> box = new MessageDlg(&m_window, MessageDlg::Fixed);
    box->SetText(title, text);
    for (QLabel* label : box->findChildren<QLabel*>())
        label->setTextFormat(Qt::PlainText);
    box->exec();
    delete box.data();
}

void ValidationShell::ShowWarning(const QString& title, const QString& text)
{
    QMessageBox box(QMessageBox::Warning, title, text, QMessageBox::Ok, &m_window);
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

void ValidationShell::CloseMainWindow()
{
    m_window.close();
}

bool ValidationShell::IsClosing() const
{
    return m_window.IsClosing();
}

void ValidationShell::SiteBookAddGroup(const ValidationAccount& group, int parentId)
{
    m_window.GetSiteBookTree()->OnAddGroup(&group, parentId);
}

void ValidationShell::SiteBookAddDvr(const ValidationAccount& dvr, int parentId)
{
    m_window.GetSiteBookTree()->OnAddDvr(&dvr, parentId);
}

void ValidationShell::SiteBookMoveDvr(const ValidationAccount& dvr, int groupId)
{
    SiteBookTreeWidget* tree = m_window.GetSiteBookTree();
    if (tree->FindDeviceById(dvr.id))
        tree->OnMoveDvr(dvr.id, groupId);
    else
        tree->OnAddDvr(&dvr, groupId);
}

void ValidationShell::SiteBookDeleteGroup(int id)
{
    m_window.GetSiteBookTree()->OnDeleteGroup(id);
}

void ValidationShell::SiteBookDeleteDvr(int id)
{
    m_window.GetSiteBookTree()->OnDeleteDvr(id);
}

void ValidationShell::SiteBookLoadServer(const QString& text)
{
    m_window.GetSiteBookTree()->LoadServerSiteBook(JsonHelper().ToJsonObject(text));
    m_window.loadSiteBook_Emap(ProgramDirectory() + QStringLiteral("/emap.xml"));
    m_window.loadSiteBook_Favorites(ProgramDirectory() + QStringLiteral("/favorites.xml"));
}

QString ValidationShell::ProgramDirectory() const
{
    return m_window.ProgramDirectory();
}

void ValidationShell::SaveServerLogin(const QString& dbHost, const QString& dbPort, const QString& validationHost,
                                      const QString& validationPort, const QString& account,
                                      const QString& saveFlag, const QString& furtherFlag)
{
    // The login record's order: validation server, its port, database server, its port, account,
    // two unused texts, save flag, further flag.
    SettingsFiles& settings = m_window.Settings();
    settings.SetServerLogin(0, validationHost);
    settings.SetServerLogin(1, validationPort);
    settings.SetServerLogin(2, dbHost);
    settings.SetServerLogin(3, dbPort);
    settings.SetServerLogin(4, account);
    settings.SetServerLogin(7, saveFlag);
    settings.SetServerLogin(8, furtherFlag);
    m_window.SaveAccountFile();
}
