#include "importcore/oleblockfile.h"

#include <limits>

namespace {

QIODevice::OpenMode OpenModeOf(OleBlockFile::Mode mode)
{
    QIODevice::OpenMode openMode;
    if (int(mode) & int(OleBlockFile::Mode::Read))
        openMode |= QIODevice::ReadOnly;
    if (int(mode) & int(OleBlockFile::Mode::Write))
        openMode |= QIODevice::WriteOnly;
    return openMode;
}

} // namespace

bool OleBlockFile::open(const QString& path, Mode mode, QString* error)
{
    close();
    m_file.setFileName(path);
    const QIODevice::OpenMode openMode = OpenModeOf(mode);
    if (openMode == QIODevice::NotOpen || !m_file.open(openMode)) {
        if (error)
            *error = QStringLiteral("cannot open %1: %2").arg(path, m_file.errorString());
        return false;
    }
    if (m_file.size() > std::numeric_limits<quint32>::max()) {
        if (error)
            *error = QStringLiteral("%1 is too large for a compound file").arg(path);
        m_file.close();
        return false;
    }
    m_mode = mode;
    m_fileSize = quint32(m_file.size());
    CountBlocks();
    return true;
}

void OleBlockFile::close()
{
    m_file.close();
    m_blockSize = kDefaultBlockSize;
    m_fileSize = 0;
    m_blockCount = 0;
}

void OleBlockFile::SetBlockSize(quint32 blockSize)
{
    m_blockSize = blockSize == 0 ? kDefaultBlockSize : blockSize;
    CountBlocks();
}

void OleBlockFile::CountBlocks()
{
    m_blockCount = quint32((quint64(m_fileSize) + m_blockSize - 1) / m_blockSize);
}

bool OleBlockFile::readBlock(quint32 index, QByteArray* buffer)
{
    if (!(int(m_mode) & int(Mode::Read)) || index >= m_blockCount || !m_file.isOpen())
        return false;
    buffer->resize(int(m_blockSize));
    if (!m_file.seek(qint64(index) * m_blockSize))
        return false;
    return m_file.read(buffer->data(), m_blockSize) == qint64(m_blockSize);
}
