#pragma once
// Small writers for recording bytes laid out by hand in the tests: little-endian words put at
// their offsets, files written whole (their folders made first), and the 8 kHz audio a recorder
// stores as unsigned bytes in reversed 32-bit words turned into what the sound output is given.
#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QString>
#include <QtEndian>

#include <gtest/gtest.h>

#include <utility>

inline void U32(QByteArray& bytes, int at, quint32 value)
{
    qToLittleEndian<quint32>(value, bytes.data() + at);
}

inline void U64(QByteArray& bytes, int at, quint64 value)
{
    qToLittleEndian<quint64>(value, bytes.data() + at);
}

inline void Write(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
    ASSERT_EQ(file.write(bytes), bytes.size()) << path.toStdString();
}

// Stored audio as played: every byte made signed (minus 128), every 32-bit word's bytes reversed.
inline QByteArray SignedReversedWords(QByteArray stored)
{
    char* w = stored.data();
    for (int i = 0; i < stored.size(); ++i)
        w[i] = char(quint8(w[i]) - 128);
    for (int i = 0; i + 3 < stored.size(); i += 4) {
        std::swap(w[i], w[i + 3]);
        std::swap(w[i + 1], w[i + 2]);
    }
    return stored;
}
