#include "sitebook/sitebookfile.h"

#include <QDebug>
#include <QDir>
#include <QFile>
#include <QSaveFile>

#include "session/sessionhub.h"
#include "sitebook/sitebookhub.h"
#include "sitebook/sitebooktreewidget.h"
#include "sitebook/emapxmlreader.h"
#include "sitebook/emapxmlwriter.h"
#include "sitebook/favoritesxmlreader.h"
#include "sitebook/favoritesxmlwriter.h"
#include "sitebook/sitebookxmlreader.h"
#include "sitebook/sitebookxmlwriter.h"

void SiteBookFile::Report(const QString& text)
{
    if (SiteBookHub* hub = SiteBookHub::Instance())
        hub->ShowModalMessage(QStringLiteral("ZENT"), text);
    else
        qWarning() << "ZENT:" << text;
}

SiteBookFile::LoadResult SiteBookFile::Load(SiteBookTreeWidget* tree, const QString& path,
                                            const ReadBook& read, const QString& parseErrorText)
{
    if (!tree || path.isEmpty())
        return LoadResult::NotOpened;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        if (file.exists()) {
            // Whatever it holds was not read, so it must not be replaced by what was.
            qWarning() << "SiteBookFile: cannot read" << path << file.errorString();
            tree->FileGuard().MarkFailed(path);
        }
        return LoadResult::NotOpened;
    }
    if (!read(&file)) {
        tree->FileGuard().MarkFailed(path);
        Report(parseErrorText);
        return LoadResult::ParseError;
    }
    tree->FileGuard().Release(path);
    return LoadResult::Loaded;
}

SiteBookFile::SaveResult SiteBookFile::Save(SiteBookTreeWidget* tree, const QString& path,
                                            const WriteBook& write, const QString& writeErrorText)
{
    if (!tree || path.isEmpty())
        return SaveResult::CannotWrite;
    if (tree->FileGuard().IsProtected(path)) {
        qWarning() << "SiteBookFile: not overwriting" << path << "after its failed read";
        return SaveResult::Protected;
    }
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Text)) {
        qWarning() << "SiteBookFile: cannot write" << path << file.errorString();
        Report(writeErrorText);
        return SaveResult::CannotWrite;
    }
    if (!write(&file) || !file.commit()) {
        qWarning() << "SiteBookFile: writing" << path << "failed:" << file.errorString();
        file.cancelWriting();
        Report(writeErrorText);
        return SaveResult::CannotWrite;
    }
    return SaveResult::Saved;
}

SiteBookFile::LoadResult SiteBookFile::LoadSiteBook(SiteBookTreeWidget* tree, const QString& path,
                                                    bool clear)
{
    if (!tree)
        return LoadResult::NotOpened;
    if (clear)
        tree->clearSiteBook();
    SiteBookXmlReader reader(tree);
    return Load(tree, path, [&reader](QIODevice* device) { return reader.read(device); },
                QStringLiteral("Sitebook Parse error"));
}

SiteBookFile::SaveResult SiteBookFile::SaveSiteBook(SiteBookTreeWidget* tree, const QString& path)
{
    SiteBookXmlWriter writer(tree);
    return Save(tree, path, [&writer](QIODevice* device) { return writer.write(device); },
                QStringLiteral("Cannot write sitebook"));
}

SiteBookFile::LoadResult SiteBookFile::LoadFavorites(SiteBookTreeWidget* tree, const QString& path,
                                                     bool clear)
{
    if (!tree)
        return LoadResult::NotOpened;
    if (clear)
        tree->clearFavorites();
    FavoritesXmlReader reader(tree);
    return Load(tree, path, [&reader](QIODevice* device) { return reader.read(device); },
                QStringLiteral("Favorites Parse error"));
}

SiteBookFile::SaveResult SiteBookFile::SaveFavorites(SiteBookTreeWidget* tree, const QString& path)
{
    FavoritesXmlWriter writer(tree);
    return Save(tree, path, [&writer](QIODevice* device) { return writer.write(device); },
                QStringLiteral("Cannot write Favorites"));
}

SiteBookFile::LoadResult SiteBookFile::LoadEmap(SiteBookTreeWidget* tree, const QString& path, bool clear)
{
    if (!tree)
        return LoadResult::NotOpened;
    if (clear)
        tree->clearEmap();
    EmapXmlReader reader(tree);
    return Load(tree, path, [&reader](QIODevice* device) { return reader.read(device); },
                QStringLiteral("eMap Parse error"));
}

SiteBookFile::SaveResult SiteBookFile::SaveEmap(SiteBookTreeWidget* tree, const QString& path)
{
    EmapXmlWriter writer(tree);
    return Save(tree, path, [&writer](QIODevice* device) { return writer.write(device); },
                QStringLiteral("Cannot write Emap"));
}

QString SiteBookFile::BookPath(const QString& fileName)
{
    const QString directory = SessionHub::Instance() ? SessionHub::Instance()->ProgramDirectory() : QDir::currentPath();
    return directory + QLatin1Char('/') + fileName;
}
