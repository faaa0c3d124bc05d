#include "sitebook/sitebookfile.h"

#include <QBuffer>
#include <QDebug>
#include <QDir>
#include <QFile>

#include "common/io/privatefile.h"

#include "session/sessionhub.h"
#include "sitebook/emapxmlreader.h"
#include "sitebook/emapxmlwriter.h"
#include "sitebook/favoritesxmlreader.h"
#include "sitebook/favoritesxmlwriter.h"
#include "sitebook/sitebookhub.h"
#include "sitebook/sitebooklog.h"
#include "sitebook/sitebooktreewidget.h"
#include "sitebook/sitebookxmlreader.h"
#include "sitebook/sitebookxmlwriter.h"

namespace {
// A book file larger than this is not a book of ours; it is refused rather than read into memory.
constexpr qint64 kBookSizeLimit = 256 * 1024 * 1024;
} // namespace

void SiteBookFile::Report(const QString& text)
{
    if (SiteBookHub* hub = SiteBookHub::Instance())
        hub->ShowModalMessage(QStringLiteral("ZENT"), text);
    else
        qCWarning(lcSiteBook) << "ZENT:" << text;
}

SiteBookFile::LoadResult SiteBookFile::Load(SiteBookTreeWidget* tree, const QString& path, XmlBookReader& reader,
                                            const std::function<void()>& clear, const QString& parseErrorText)
{
    if (!tree || path.isEmpty())
        return LoadResult::NotOpened;
    QFile file(path);
    QByteArray content;
    const bool opened = file.open(QIODevice::ReadOnly);
    if (opened && file.size() <= kBookSizeLimit)
        content = file.readAll();
    if (!opened || file.size() > kBookSizeLimit || file.error() != QFileDevice::NoError) {
        if (file.exists()) {
            // Whatever it holds was not read, so it must not be replaced by what was.
            qCWarning(lcSiteBook) << "SiteBookFile: cannot read" << path << file.errorString();
            tree->FileGuard().MarkFailed(path);
        }
        return LoadResult::NotOpened;
    }
    file.close();

    QBuffer buffer(&content);
    buffer.open(QIODevice::ReadOnly | QIODevice::Text);
    reader.SetDryRun(true);
    if (!reader.read(&buffer)) {
        tree->FileGuard().MarkFailed(path);
        Report(parseErrorText + QLatin1Char('\n') + QDir::toNativeSeparators(path) + QLatin1Char('\n')
               + reader.errorString());
        return LoadResult::ParseError;
    }
    if (clear)
        clear();
    QBuffer again(&content);
    again.open(QIODevice::ReadOnly | QIODevice::Text);
    reader.SetDryRun(false);
    if (!reader.read(&again)) {
        // The same bytes passed the dry run; only running out of memory ends here.
        tree->FileGuard().MarkFailed(path);
        Report(parseErrorText + QLatin1Char('\n') + QDir::toNativeSeparators(path));
        return LoadResult::ParseError;
    }
    tree->FileGuard().Release(path);
    return LoadResult::Loaded;
}

SiteBookFile::SaveResult SiteBookFile::Save(SiteBookTreeWidget* tree, const QString& path, const WriteBook& write,
                                            const QString& writeErrorText)
{
    if (!tree || path.isEmpty())
        return SaveResult::CannotWrite;
    if (tree->FileGuard().IsProtected(path)) {
        qCWarning(lcSiteBook) << "SiteBookFile: not overwriting" << path << "after its failed read";
        return SaveResult::Protected;
    }
    // Books keep recorder passwords in clear, as their format demands: a new book is readable by
    // its owner only, an existing one keeps the mode its owner gave it.
    QByteArray content;
    QBuffer buffer(&content);
    buffer.open(QIODevice::WriteOnly | QIODevice::Text);
    QString error;
    if (!write(&buffer) || !privatefile::Write(path, content, &error)) {
        qCWarning(lcSiteBook) << "SiteBookFile: writing" << path << "failed:" << error;
        Report(writeErrorText);
        return SaveResult::CannotWrite;
    }
    return SaveResult::Saved;
}

SiteBookFile::LoadResult SiteBookFile::LoadSiteBook(SiteBookTreeWidget* tree, const QString& path, bool clear)
{
    if (!tree)
        return LoadResult::NotOpened;
    SiteBookXmlReader reader(tree);
    const auto emptyRoot = [tree] { tree->clearSiteBook(); };
    return Load(tree, path, reader, clear ? std::function<void()>(emptyRoot) : std::function<void()>(),
                QStringLiteral("Sitebook Parse error"));
}

SiteBookFile::SaveResult SiteBookFile::SaveSiteBook(SiteBookTreeWidget* tree, const QString& path)
{
    SiteBookXmlWriter writer(tree);
    return Save(
        tree, path, [&writer](QIODevice* device) { return writer.write(device); },
        QStringLiteral("Cannot write sitebook"));
}

SiteBookFile::LoadResult SiteBookFile::LoadFavorites(SiteBookTreeWidget* tree, const QString& path, bool clear)
{
    if (!tree)
        return LoadResult::NotOpened;
    FavoritesXmlReader reader(tree);
    const auto emptyRoot = [tree] { tree->clearFavorites(); };
    return Load(tree, path, reader, clear ? std::function<void()>(emptyRoot) : std::function<void()>(),
                QStringLiteral("Favorites Parse error"));
}

SiteBookFile::SaveResult SiteBookFile::SaveFavorites(SiteBookTreeWidget* tree, const QString& path)
{
    FavoritesXmlWriter writer(tree);
    return Save(
        tree, path, [&writer](QIODevice* device) { return writer.write(device); },
        QStringLiteral("Cannot write Favorites"));
}

SiteBookFile::LoadResult SiteBookFile::LoadEmap(SiteBookTreeWidget* tree, const QString& path, bool clear)
{
    if (!tree)
        return LoadResult::NotOpened;
    EmapXmlReader reader(tree);
    const auto emptyRoot = [tree] { tree->clearEmap(); };
    return Load(tree, path, reader, clear ? std::function<void()>(emptyRoot) : std::function<void()>(),
                QStringLiteral("eMap Parse error"));
}

SiteBookFile::SaveResult SiteBookFile::SaveEmap(SiteBookTreeWidget* tree, const QString& path)
{
    EmapXmlWriter writer(tree);
    return Save(
        tree, path, [&writer](QIODevice* device) { return writer.write(device); },
        QStringLiteral("Cannot write Emap"));
}

QString SiteBookFile::BookPath(const QString& fileName)
{
    const QString directory = SessionHub::Instance() ? SessionHub::Instance()->ProgramDirectory()
                                                     : QDir::currentPath();
    return directory + QLatin1Char('/') + fileName;
}
