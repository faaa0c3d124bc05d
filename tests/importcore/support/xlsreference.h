#pragma once
// Runs the independent readers and writers of xlsreference.py (xlwt, xlrd, olefile) with the
// system's Python. A missing module or a failing script fails the test that asked; nothing is
// skipped.
#include <QJsonObject>
#include <QString>
#include <QStringList>

namespace xlsreference {

// Runs the script with the arguments; false (and a test failure) when it fails. What it printed
// on standard output is kept in `output` when given.
bool Run(const QStringList& arguments, QByteArray* output = nullptr);
// Runs the script and reads what it printed as a JSON object; empty on failure.
QJsonObject RunJson(const QStringList& arguments);

} // namespace xlsreference
