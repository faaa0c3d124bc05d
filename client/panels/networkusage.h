#pragma once
// The sizes of the network status pop-up: the usage limit a slider position stands for, and the
// size texts. Widget-free.
#include <QString>
#include <QtGlobal>

namespace NetworkUsageSize {
constexpr int kLastPosition = 130;
// The opening text of a stored position counts it in steps of 50 MB.
constexpr qint64 kStoredStepKB = 51200;

enum class Unit { KB, MB };

// The limit in KB of a slider position 0..130.
qint64 LimitKB(int position);
// "%.1f GB", "%d MB", "%d KB" or "0 KB" of a value in KB; "%.2f GB", "%d MB" or "0 MB" of one in MB.
QString Text(qint64 value, Unit unit);
} // namespace NetworkUsageSize
