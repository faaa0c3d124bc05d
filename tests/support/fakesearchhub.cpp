#include "support/fakesearchhub.h"

FakeSearchHub::FakeSearchHub()
    : m_previous(SearchHub::Instance())
{
    SearchHub::Install(this);
}

FakeSearchHub::~FakeSearchHub()
{
    if (SearchHub::Instance() == this)
        SearchHub::Install(m_previous);
}

QWidget* FakeSearchHub::CreatePlaybackGrid(QWidget* owner, int kind, int ownerSlot)
{
    auto* grid = new QWidget(owner);
    grid->setObjectName(QStringLiteral("fakePlaybackGrid"));
    Grid record;
    record.kind = kind;
    record.ownerSlot = ownerSlot;
    m_grids.insert(grid, record);
    // The owner deletes its grid; the record must not outlive it under a reused address.
    QObject::connect(grid, &QObject::destroyed, [this, grid] { m_grids.remove(grid); });
    return grid;
}

int FakeSearchHub::GridRecorder(const QWidget* grid) const
{
    const auto it = m_grids.constFind(grid);
    return it == m_grids.constEnd() ? -1 : it->recorder;
}

void FakeSearchHub::GridShowRecorder(QWidget* grid, int deviceIndex)
{
    const auto it = m_grids.find(grid);
    if (it == m_grids.end())
        return;
    ++it->closeAlls;
    it->recorder = deviceIndex;
}

void FakeSearchHub::GridCloseAll(QWidget* grid)
{
    const auto it = m_grids.find(grid);
    if (it == m_grids.end())
        return;
    ++it->closeAlls;
    it->recorder = -1;
}

void FakeSearchHub::GridPlaybackControl(QWidget* grid, int code)
{
    const auto it = m_grids.find(grid);
    if (it != m_grids.end())
        it->codes << code;
}

bool FakeSearchHub::StartBackupPlayer(const QString& file)
{
    playerFiles << file;
    return playerStarts;
}

const FakeSearchHub::Grid* FakeSearchHub::GridOf(const QWidget* grid) const
{
    const auto it = m_grids.constFind(grid);
    return it == m_grids.constEnd() ? nullptr : &it.value();
}
