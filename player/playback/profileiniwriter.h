#pragma once
// Writes one value into a Windows profile INI file as the system's profile writer does: the key's
// line in its section is replaced (section and key compare without regard to case), a missing key
// is added at the end of its section and a missing section at the end of the file; every other
// line is kept as it was. The file is written under a temporary name and renamed when whole.
#include <QString>

class ProfileIniWriter
{
public:
    // False when the file could not be read back or written (the folder is made when missing).
    // `ownerOnly`: the file is written readable and writable by its owner alone (for secrets).
    static bool Write(const QString& path, const QString& section, const QString& key, const QString& value,
                      bool ownerOnly = false);
};
