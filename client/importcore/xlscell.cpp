#include "importcore/xlscell.h"

#include <cmath>
#include <limits>

namespace XlsFile {

int XlsCell::toInt() const
{
    switch (m_kind) {
    case Kind::Integer: return m_int;
    case Kind::Double:
        if (std::isnan(m_double))
            return 0;
        if (m_double >= double(std::numeric_limits<int>::max()))
            return std::numeric_limits<int>::max();
        if (m_double <= double(std::numeric_limits<int>::min()))
            return std::numeric_limits<int>::min();
        return int(m_double);
    default: return 0;
    }
}

double XlsCell::toDouble() const
{
    switch (m_kind) {
    case Kind::Double: return m_double;
    case Kind::Integer: return double(m_int);
    default: return 0.0;
    }
}

const char* XlsCell::toAnsiString() const
{
    return m_kind == Kind::AnsiString ? m_narrow.constData() : nullptr;
}

const char16_t* XlsCell::toWideString() const
{
    return m_kind == Kind::WideString ? reinterpret_cast<const char16_t*>(m_wide.utf16()) : nullptr;
}

void XlsCell::SetInt(int value)
{
    Clear();
    m_kind = Kind::Integer;
    m_int = value;
}

void XlsCell::SetDouble(double value)
{
    Clear();
    m_kind = Kind::Double;
    m_double = value;
}

void XlsCell::SetAnsiString(const QByteArray& text)
{
    Clear();
    if (text.isEmpty())
        return;
    m_kind = Kind::AnsiString;
    m_narrow = text;
}

void XlsCell::SetWideString(const QString& text)
{
    Clear();
    if (text.isEmpty())
        return;
    m_kind = Kind::WideString;
    m_wide = text;
}

void XlsCell::Clear()
{
    m_kind = Kind::Empty;
    m_int = 0;
    m_double = 0.0;
    m_narrow.clear();
    m_wide.clear();
}

} // namespace XlsFile
