#pragma once
// The block layer under a compound file: the file read in fixed-size blocks (512 bytes until the
// header gives the sector size). Block 0 is the header; file sector n is block n + 1.
#include <QFile>
#include <QString>

class OleBlockFile
{
public:
    enum class Mode : int {
        Read = 1,
        Write = 2,
        ReadWrite = 3,
    };
    static constexpr quint32 kDefaultBlockSize = 512;

    // False when the file cannot be opened in the mode, or is larger than 32 bits can count;
    // `error` then says why.
    bool open(const QString& path, Mode mode, QString* error = nullptr);
    void close();
    bool isOpen() const { return m_file.isOpen(); }

    // Reads block `index` into `buffer` (resized to the block size). True only when a whole
    // block was read: never in write-only mode, never at or beyond the block count.
    bool readBlock(quint32 index, QByteArray* buffer);

    void SetBlockSize(quint32 blockSize);
    quint32 BlockSize() const { return m_blockSize; }
    quint32 BlockCount() const { return m_blockCount; }
    quint32 FileSize() const { return m_fileSize; }

private:
    void CountBlocks();

    QFile m_file;
    Mode m_mode = Mode::Read;
    quint32 m_blockSize = kDefaultBlockSize;
    quint32 m_fileSize = 0;
    quint32 m_blockCount = 0;
};
