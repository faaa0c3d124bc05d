#pragma once
// What a recorder's connection fields must hold, wherever they come from: the recorder dialog
// and the recorder list import refuse the same addresses and ports with the same words.
#include <QString>

class RecorderFieldRules
{
public:
    static constexpr int kLowestPort = 1;
    static constexpr int kHighestPort = 65535;

    // A host name (dot-separated labels of 1 to 63 letters, digits and hyphens, no label
    // beginning or ending with a hyphen, 253 characters at most, a last label that is not all
    // digits), an IPv4 address of four dotted decimal parts, or an IPv6 address.
    static bool IsHostAddress(const QString& address);
    // The port as a number from 1 to 65535; 0 when the text is not such a decimal number.
    static int PortNumber(const QString& port);

    static QString AddressRefusal();
    static QString PortRefusal();
};
