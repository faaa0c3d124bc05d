#pragma once
// One call of the shared message box, as the test hubs record it.
#include <QString>
#include <ostream>

struct BoxCall
{
    QString title;
    QString text;
    QString option;
    bool operator==(const BoxCall& o) const { return title == o.title && text == o.text && option == o.option; }
};

inline void PrintTo(const BoxCall& call, std::ostream* os)
{
    *os << "(\"" << call.title.toStdString() << "\", \"" << call.text.toStdString() << "\", \""
        << call.option.toStdString() << "\")";
}
