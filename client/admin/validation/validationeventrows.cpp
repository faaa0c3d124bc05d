#include "validation/validationeventrows.h"

#include "core/treemodel.h"

#include <QFile>
#include <QTextStream>

QStringList ValidationEventRows::EventHeaders()
{
    return {QStringLiteral("Date"), QStringLiteral("Time"), QStringLiteral("Source"), QStringLiteral("Event Log")};
}

QStringList ValidationEventRows::MonitoringHeaders()
{
    return {QStringLiteral("Account"),       QStringLiteral("Host"),       QStringLiteral("Not responding"),
            QStringLiteral("Not recording"), QStringLiteral("Camera off"), QStringLiteral("Video loss"),
            QStringLiteral("HDD error"),     QStringLiteral("Chipset"),    QStringLiteral("Fan RPM")};
}

ValidationEventRows::ValidationEventRows(TreeModel& model)
    : m_model(model)
    , m_clock([] { return QDateTime::currentDateTime(); })
    , m_ids(kMonitoringSlots, -1)
{}

void ValidationEventRows::SetRow(int row, const QStringList& texts)
{
    for (int column = 0; column < texts.size() && column < m_model.columnCount(); ++column)
        m_model.setData(m_model.index(row, column), texts.at(column), Qt::DisplayRole);
}

void ValidationEventRows::InsertEventRow(const QString& source, const QString& text, const QString& date,
                                         const QString& time)
{
    if (!m_model.insertRows(0, 1))
        return;
    if (m_model.rowCount() > kMaxEvents)
        m_model.removeRows(m_model.rowCount() - 1, 1);
    const QDateTime now = m_clock();
    SetRow(0, {date.isEmpty() ? now.toString(QStringLiteral("MM/dd/yyyy")) : date,
               time.isEmpty() ? now.toString(QStringLiteral("hh:mm:ss")) : time,
               source == QLatin1String("parent") ? QStringLiteral("root") : source, text});
}

int ValidationEventRows::LoadLog(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return 0;
    QTextStream in(&file);
    in.setCodec("UTF-8");
    if (in.atEnd() || in.readLine() != QLatin1String("--start"))
        return 0;
    int rows = 0;
    while (!in.atEnd()) {
        const QString line = in.readLine();
        if (line == QLatin1String("--end"))
            break;
        const QStringList fields = line.split(QLatin1Char('^'));
        if (fields.size() != 4)
            break;
        InsertEventRow(fields[2], fields[3], fields[0], fields[1]);
        ++rows;
    }
    return rows;
}

bool ValidationEventRows::UpdateMonitoringRow(const QStringList& texts)
{
    if (texts.size() < 10)
        return false;
    bool ok = false;
    const int id = texts.first().toInt(&ok, 10);
    if (!ok || id < 0)
        return false;
    int row = -1;
    for (int slot = 0; slot < kMonitoringSlots; ++slot)
        if (m_ids[size_t(slot)] == id) {
            row = slot;
            break;
        }
    if (row < 0) {
        row = m_model.rowCount();
        if (row >= kMonitoringSlots || !m_model.insertRows(row, 1))
            return false;
        m_ids[size_t(row)] = id;
    }
    SetRow(row, texts.mid(1, 9));
    return true;
}

int ValidationEventRows::AccountIdOfRow(int row) const
{
    return row >= 0 && row < kMonitoringSlots ? m_ids[size_t(row)] : -1;
}
