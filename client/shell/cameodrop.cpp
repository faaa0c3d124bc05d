#include "shell/cameodrop.h"

#include <QDataStream>
#include <QDate>
#include <QMimeData>
#include <QStringList>
#include <QTime>

#include <algorithm>
#include <array>

namespace {

constexpr int kRecorderSlots = 9999;
constexpr int kChannels = 16;
constexpr std::array<int, 9> kSplits{1, 4, 9, 13, 16, 25, 36, 49, 64};

bool HasSiteBookItem(const QMimeData* data)
{
    return data->hasFormat(QLatin1String(SiteBook::MimeType));
}

bool HasOwnCell(const QMimeData* data, const CameoDrop::Target& target)
{
    return !target.ownCellType.isEmpty() && data->hasFormat(target.ownCellType);
}

bool HasFile(const QMimeData* data)
{
    return data->hasFormat(QLatin1String(CameoDrop::kFileDragType));
}

// A decimal number that is the whole text.
bool ReadNumber(const QString& text, int* value)
{
    bool ok = false;
    const int n = text.trimmed().toInt(&ok, 10);
    if (ok)
        *value = n;
    return ok;
}

} // namespace

bool CameoDrop::Accepts(const QMimeData* data, const Target& target)
{
    if (!data || target.emap)
        return false;
    if (HasSiteBookItem(data) || HasOwnCell(data, target))
        return true;
    return target.kind == CameoKind::Local && HasFile(data);
}

CameoDrop::Handling CameoDrop::Route(const QMimeData* data, const Target& target)
{
    if (!data || target.emap)
        return Handling::Refused;
    const bool local = target.kind == CameoKind::Local;
    if (HasSiteBookItem(data) && !local)
        return Handling::SiteBookItem;
    if (HasOwnCell(data, target) && !local)
        return Handling::CellSwap;
    if (HasFile(data) && local)
        return Handling::File;
    if (HasSiteBookItem(data) && local)
        return Handling::Archive;
    return Handling::Refused;
}

bool CameoDrop::ReadRecord(const QByteArray& payload, SiteBook* record)
{
    if (!record)
        return false;
    SiteBook read;
    if (!SiteBook::FromDragData(payload, &read))
        return false;
    if (read.index < -1 || read.index >= kRecorderSlots)
        return false;
    if (read.channel < -1 || read.channel >= kChannels)
        return false;
    *record = read;
    return true;
}

bool CameoDrop::FolderOf(const QString& path, const QString& name, QString* folder)
{
    if (name.isEmpty() || name.size() > path.size())
        return false;
    *folder = path.left(path.size() - name.size());
    return true;
}

bool CameoDrop::ReadFileDrag(const QByteArray& payload, QString* folder, QString* file)
{
    QDataStream in(payload);
    QString path;
    QString name;
    in >> path >> name;
    if (in.status() != QDataStream::Ok)
        return false;
    if (!FolderOf(path, name, folder))
        return false;
    *file = name;
    return true;
}

bool CameoDrop::ReadLayout(const QString& cameomode, int* split, int* first)
{
    int code = 0;
    if (!ReadNumber(cameomode, &code) || code < 0)
        return false;
    const int s = code / 100;
    const int f = code % 100;
    if (std::find(kSplits.begin(), kSplits.end(), s) == kSplits.end() || f >= CameoDrop::kMaxCells)
        return false;
    *split = s;
    *first = f;
    return true;
}

bool CameoDrop::ReadSearchTime(const QString& favoriteschannel, int* date, int* time)
{
    const QStringList parts = favoriteschannel.split(QLatin1Char(';'));
    if (parts.size() < 2)
        return false;
    int d = 0;
    int t = 0;
    if (!ReadNumber(parts.at(0), &d) || !ReadNumber(parts.at(1), &t))
        return false;
    if (!QDate(d / 10000, d / 100 % 100, d % 100).isValid() || !QTime(t / 10000, t / 100 % 100, t % 100).isValid())
        return false;
    *date = d;
    *time = t;
    return true;
}
