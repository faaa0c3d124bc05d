#pragma once
// One cell of a sheet: empty, an integer, a double, a narrow (8-bit) or a wide (UTF-16) string.
// Conversions of the wrong kind answer 0, 0.0 or null and never fail.
#include <QByteArray>
#include <QString>

namespace XlsFile {

class XlsCell
{
public:
    enum class Kind : int {
        Empty = 0,
        Integer = 1,
        Double = 2,
        AnsiString = 3,
        WideString = 4,
    };

    int kind() const { return int(m_kind); }
    // An integer; a double truncated toward zero (saturated at the 32-bit limits, NaN as 0).
    int toInt() const;
    double toDouble() const;
    // Zero-terminated and owned by the cell; null unless the cell holds that kind of string.
    const char* toAnsiString() const;
    const char16_t* toWideString() const;

    void SetInt(int value);
    void SetDouble(double value);
    // Setting a string clears the other one; an empty string leaves the cell empty.
    void SetAnsiString(const QByteArray& text);
    void SetWideString(const QString& text);
    void Clear();

private:
    Kind m_kind = Kind::Empty;
    int m_int = 0;
    double m_double = 0.0;
    QByteArray m_narrow;
    QString m_wide;
};

} // namespace XlsFile
