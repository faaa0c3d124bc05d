#pragma once
// The recorder list of a manager: one row per recorder (site name, network address, the
// recorder's table index, check box, status text). A site name is listed once; rows accumulate
// over the manager's life. At most kMaxRows rows.
#include <QObject>
#include <QString>
#include <QVector>

class ManagerRows : public QObject
{
    Q_OBJECT
public:
    static constexpr int kMaxRows = 10000;

    struct Row
    {
        QString site;
        QString address;
        int recorder = -1;
        bool checked = false;
        QString status = QStringLiteral("-");
    };

    using QObject::QObject;

    // Appends a row unless the site name is listed already (or the list is full); its index or -1.
    int Add(const QString& site, const QString& address, int recorder);
    int Count() const { return m_rows.size(); }
    const Row& At(int row) const { return m_rows.at(row); }
    bool IsValid(int row) const { return row >= 0 && row < m_rows.size(); }

    void SetChecked(int row, bool checked);
    void Toggle(int row);
    void SetStatus(int row, const QString& status);
    void SetAllStatus(const QString& status);
    bool AnyChecked() const;
    // The first checked row at or after `from`, or -1.
    int NextChecked(int from) const;

signals:
    void rowAdded(int row);
    void rowChanged(int row);

private:
    QVector<Row> m_rows;
};
