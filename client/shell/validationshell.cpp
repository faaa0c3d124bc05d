#include "shell/validationshell.h"

#include "core/jsonhelper.h"
#include "shell/mainwindow.h"
#include "sitebook/sitebookfile.h"
#include "sitebook/sitebooktreewidget.h"
#include "validation/account.h"
#include "validation/cwaitdlg.h"
#include "validation/validationsession.h"
#include "validation/validationview.h"
#include "widgets/messagedlg.h"

#include <QDir>
#include <QFileInfo>
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
    if (!m_loggedIn && !m_loginFilled) {
        m_loginFilled = true;
        m_login->Fill(SavedServerLogin());
    }
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

void ValidationShell::SiteBookModifyDvr(const ValidationAccount& dvr)
{
    m_window.GetSiteBookTree()->OnModifyDvr(&dvr);
}

void ValidationShell::SiteBookModifyGroup(const ValidationAccount& group)
{
    m_window.GetSiteBookTree()->OnModifyGroup(&group);
}

void ValidationShell::SiteBookDeleteGroup(int id)
{
    m_window.GetSiteBookTree()->OnDeleteGroup(id);
}

void ValidationShell::SiteBookDeleteDvr(int id)
{
    m_window.GetSiteBookTree()->OnDeleteDvr(id);
}

QString ValidationShell::FreeLocalCopyPath() const
{
    // An older copy may hold a book the operator still wants: it is never written over.
    const QString base = ProgramDirectory() + QStringLiteral("/sitebook-local");
    QString path = base + QStringLiteral(".xml");
    for (int number = 2; QFileInfo::exists(path); ++number)
        path = base + QStringLiteral("-%1.xml").arg(number);
    return path;
}

bool ValidationShell::AgreeToServerSiteBook()
{
    if (m_serverBook != ServerBook::NotAsked)
        return m_serverBook == ServerBook::Taken;
    SiteBookTreeWidget* tree = m_window.GetSiteBookTree();
    // An empty site book loses nothing.
    if (!tree->GetSiteBookRoot() || tree->GetSiteBookRoot()->childCount() == 0) {
        m_serverBook = ServerBook::Taken;
        return true;
    }
    const QString copy = QDir::toNativeSeparators(FreeLocalCopyPath());
    MessageDlg box(&m_window, MessageDlg::Question);
    box.SetText(QStringLiteral("Validation"),
                QStringLiteral("The central server's site book replaces the site book of this computer.\n"
                               "Your own site book is kept in %1;\n"
                               "\"Load SiteBook\" in the site book's menu brings it back.\n\n"
                               "Replace the site book now?")
                    .arg(copy));
    for (QLabel* label : box.findChildren<QLabel*>())
        label->setTextFormat(Qt::PlainText);
    if (box.exec() != 1) {
        m_serverBook = ServerBook::Refused;
        return false;
    }
    if (SiteBookFile::SaveSiteBook(tree, QDir::fromNativeSeparators(copy)) != SiteBookFile::SaveResult::Saved) {
        ShowMessage(QStringLiteral("Validation"),
                    QStringLiteral("Your site book could not be kept in %1, so it is not replaced.").arg(copy));
        return false;
    }
    m_serverBook = ServerBook::Taken;
    return true;
}

void ValidationShell::SiteBookLoadServer(const QString& text)
{
    if (!AgreeToServerSiteBook())
        return;
    m_window.GetSiteBookTree()->LoadServerSiteBook(JsonHelper().ToJsonObject(text));
    m_window.loadSiteBook_Emap(ProgramDirectory() + QStringLiteral("/emap.xml"));
    m_window.loadSiteBook_Favorites(ProgramDirectory() + QStringLiteral("/favorites.xml"));
}

QString ValidationShell::ProgramDirectory() const
{
    return m_window.ProgramDirectory();
}

QStringList ValidationShell::SavedServerLogin() const
{
    const SettingsFiles& settings = m_window.Settings();
    return {settings.GetServerLogin(2), settings.GetServerLogin(3), settings.GetServerLogin(0),
            settings.GetServerLogin(1), settings.GetServerLogin(4), settings.GetServerLogin(7),
            settings.GetServerLogin(8)};
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
