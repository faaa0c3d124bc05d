#include "importcore/support/xlsreference.h"

#include <QJsonDocument>
#include <QProcess>

#include <gtest/gtest.h>

namespace xlsreference {

bool Run(const QStringList& arguments, QByteArray* output)
{
    QProcess process;
    process.start(QStringLiteral("/usr/bin/python3"),
                  QStringList{QStringLiteral(ZENT_SOURCE_DIR "/tests/importcore/support/xlsreference.py")}
                      + arguments);
    if (!process.waitForFinished(120000) || process.exitStatus() != QProcess::NormalExit
        || process.exitCode() != 0) {
        ADD_FAILURE() << "xlsreference.py " << arguments.join(QLatin1Char(' ')).toStdString()
                      << " failed (scripts/bootstrap installs python3-xlwt, python3-xlrd and python3-olefile): "
                      << process.readAllStandardError().toStdString();
        return false;
    }
    if (output)
        *output = process.readAllStandardOutput();
    return true;
}

QJsonObject RunJson(const QStringList& arguments)
{
    QByteArray output;
    if (!Run(arguments, &output))
        return {};
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(output, &error);
    if (error.error != QJsonParseError::NoError) {
        ADD_FAILURE() << "xlsreference.py printed no JSON: " << error.errorString().toStdString();
        return {};
    }
    return document.object();
}

} // namespace xlsreference
