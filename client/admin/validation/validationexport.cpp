#include "validation/validationexport.h"

#include "core/treemodel.h"
#include "validation/validationtreeops.h"

#include <QAbstractItemModel>
#include <QRegularExpression>
#include <QSaveFile>
#include <QStringList>

#include <functional>

namespace {
enum EventColumn { kDate = 0, kTime = 1, kSource = 2, kText = 3 };

QString LogField(const QAbstractItemModel& model, int row, int column)
{
    static const QRegularExpression breaking(QStringLiteral("[\\^\\r\\n]"));
    return model.index(row, column).data().toString().replace(breaking, QStringLiteral(" "));
}

QString CsvField(QString text)
{
    if (!text.contains(QLatin1Char(',')) && !text.contains(QLatin1Char('"')) && !text.contains(QLatin1Char('\n'))
        && !text.contains(QLatin1Char('\r')))
        return text;
    text.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + text + QLatin1Char('"');
}

QString CsvLine(const QStringList& fields)
{
    QStringList quoted;
    for (const QString& field : fields)
        quoted.append(CsvField(field));
    return quoted.join(QLatin1Char(',')) + QLatin1Char('\n');
}

QString SafeFilePart(QString name)
{
    static const QRegularExpression unsafe(QStringLiteral("[\\\\/:*?\"<>|]"));
    return name.replace(unsafe, QStringLiteral("_"));
}
} // namespace

QByteArray ValidationExport::LogText(const QAbstractItemModel& events, const QString& source)
{
    QString text = QStringLiteral("--start\n");
    // The list shows the newest event on top; the file keeps them oldest first, as the list
    // reads a file back with every line going on top.
    for (int row = events.rowCount() - 1; row >= 0; --row) {
        if (events.index(row, kSource).data().toString() != source)
            continue;
        text += QStringList{LogField(events, row, kDate), LogField(events, row, kTime),
                            LogField(events, row, kSource), LogField(events, row, kText)}
                    .join(QLatin1Char('^'))
                + QLatin1Char('\n');
    }
    text += QStringLiteral("--end\n");
    return text.toUtf8();
}

QByteArray ValidationExport::DvrCheckText(const ValidationTreeOps& tree, const QModelIndex& node)
{
    const TreeModel& model = tree.Model();
    QString text = CsvLine({QStringLiteral("DVR"), QStringLiteral("Address"), QStringLiteral("Online"),
                            QStringLiteral("Row"), QStringLiteral("Kind"), QStringLiteral("Status")});
    const auto cell = [&](const QModelIndex& at, int column) {
        return model.index(at.row(), column, at.parent()).data().toString();
    };
    std::function<void(const QModelIndex&)> walk = [&](const QModelIndex& at) {
        const ValidationAccount* record = tree.Record(at);
        if (record && record->type == QLatin1String("dvr")) {
            const QString address = record->dvr_host + QLatin1Char(':') + record->dvr_port;
            const int rows = model.rowCount(at);
            if (rows == 0)
                text += CsvLine({record->name, address, cell(at, 2), QString(), QString(), QString()});
            for (int row = 0; row < rows; ++row) {
                const QModelIndex child = model.index(row, 0, at);
                text += CsvLine(
                    {record->name, address, cell(at, 2), cell(child, 0), cell(child, 1), cell(child, 3)});
            }
            return;
        }
        for (int row = 0; row < model.rowCount(at); ++row)
            walk(model.index(row, 0, at));
    };
    if (node.isValid())
        walk(model.index(node.row(), 0, node.parent()));
    return text.toUtf8();
}

QString ValidationExport::LogFileName(const QString& programDirectory, const QString& nodeName, const QDate& day)
{
    return programDirectory + QStringLiteral("/ZENT_LOG/Export_") + SafeFilePart(nodeName) + QLatin1Char('_')
           + day.toString(QStringLiteral("MM_dd_yyyy")) + QStringLiteral(".log");
}

QString ValidationExport::DvrCheckFileName(const QString& programDirectory, const QString& nodeName,
                                           const QDate& day)
{
    return programDirectory + QStringLiteral("/ZENT_LOG/DVRCheck_") + SafeFilePart(nodeName) + QLatin1Char('_')
           + day.toString(QStringLiteral("MM_dd_yyyy")) + QStringLiteral(".csv");
}

bool ValidationExport::Write(const QString& path, const QByteArray& data, QString* error)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(data) != data.size() || !file.commit()) {
        if (error)
            *error = file.errorString();
        file.cancelWriting();
        return false;
    }
    return true;
}
