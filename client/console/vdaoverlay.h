#pragma once
// The recorder's video-analysis grid drawn over the live picture: a red frame in every cell whose
// bit is set. Rows are 32-bit little-endian words when a row is 4 bytes wide, else 64-bit words;
// columns beyond the word and rows beyond the received mask are not drawn. Widget-free.
#include <QByteArray>
#include <QImage>
#include <QRectF>
#include <QVector>

class VdaOverlay
{
public:
    void Set(int columns, int rows, int rowBytes, const QByteArray& mask);
    bool IsEmpty() const { return m_columns < 1 || m_rows < 1 || m_mask.isEmpty(); }
    // The cells to frame for a picture area of this size.
    QVector<QRectF> Cells(const QSizeF& area) const;
    void Draw(QImage& picture) const;

private:
    bool Bit(int row, int column) const;

    int m_columns = 0;
    int m_rows = 0;
    int m_rowBytes = 0;
    QByteArray m_mask;
};
