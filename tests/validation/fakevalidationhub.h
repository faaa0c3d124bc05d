#pragma once
#include "core/validationaccount.h"
#include "validation/validationhub.h"

#include <QList>
#include <QPair>
#include <QStringList>

// Records what the console tells the main window and the site book.
class FakeValidationHub : public ValidationHub
{
public:
    void ShowMessage(const QString& title, const QString& text) override { messages << title + "|" + text; }
    void ShowWarning(const QString& title, const QString& text) override { warnings << title + "|" + text; }
    void CloseMainWindow() override { ++closes; }
    bool IsClosing() const override { return false; }
    void SetValidationConnected(bool connected) override { validationConnected = connected; }
    bool IsValidationConnected() const override { return validationConnected; }
    int LocalChange() const override { return localChange; }
    void SetLocalChange(int value) override { localChange = value; }
    void SiteBookAddGroup(const ValidationAccount& group, int parentId) override
    {
        siteBook << QStringLiteral("group %1 %2 under %3").arg(group.id).arg(group.name).arg(parentId);
    }
    void SiteBookAddDvr(const ValidationAccount& dvr, int parentId) override
    {
        siteBook << QStringLiteral("dvr %1 %2 under %3").arg(dvr.id).arg(dvr.name).arg(parentId);
    }
    void SiteBookMoveDvr(const ValidationAccount& dvr, int groupId) override
    {
        siteBook << QStringLiteral("move dvr %1 %2 under %3").arg(dvr.id).arg(dvr.name).arg(groupId);
    }
    void SiteBookModifyDvr(const ValidationAccount& dvr) override
    {
        siteBook
            << QStringLiteral("modify dvr %1 %2 at %3:%4").arg(dvr.id).arg(dvr.name, dvr.dvr_host, dvr.dvr_port);
    }
    void SiteBookModifyGroup(const ValidationAccount& group) override
    {
        siteBook << QStringLiteral("modify group %1 %2").arg(group.id).arg(group.name);
    }
    void SiteBookDeleteGroup(int id) override { siteBook << QStringLiteral("delete group %1").arg(id); }
    void SiteBookDeleteDvr(int id) override { siteBook << QStringLiteral("delete dvr %1").arg(id); }
    void SiteBookLoadServer(const QString& text) override { serverSiteBooks << text; }
    QString ProgramDirectory() const override { return programDirectory; }
    QStringList SavedServerLogin() const override { return keptLogin; }
    void SaveServerLogin(const QString& dbHost, const QString& dbPort, const QString& validationHost,
                         const QString& validationPort, const QString& account, const QString& saveFlag,
                         const QString& furtherFlag) override
    {
        savedLogin = QStringList{dbHost, dbPort, validationHost, validationPort, account, saveFlag, furtherFlag};
    }

    QStringList messages;
    QStringList warnings;
    int closes = 0;
    bool validationConnected = false;
    int localChange = 0;
    QStringList siteBook;
    QStringList serverSiteBooks;
    QString programDirectory;
    QStringList savedLogin;
    QStringList keptLogin;
};
