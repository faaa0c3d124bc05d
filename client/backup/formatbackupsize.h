#pragma once
// The size texts of the backup lists: a value in kilobytes ("0 KB", "%d KB", "%.2f MB") or in
// megabytes ("0 MB", "%d MB", "%.2f GB").
#include <QString>
#include <QtGlobal>

QString FormatBackupSize(qint64 value, bool kilobytes);
