#pragma once
// Absolute drive paths of the original platform ("c:\Player\CD_DATA", "c:\KRO\Account.ini")
// mapped into a folder of our own: the drive letter becomes a folder under the drive root and
// the rest of the path follows with "/" separators. The default root is the user's data folder;
// tests give a temporary folder instead.
#include <QString>

namespace platform {

class DriveRoot
{
public:
    // A drive root at `root` (no trailing "/" needed).
    explicit DriveRoot(const QString& root);
    // The user's data folder + "/drives".
    static DriveRoot Default();

    const QString& Root() const { return m_root; }
    // "c:\Player\x.dll" gives Root()/c/Player/x.dll. Empty for a path that is not a drive path
    // or that would climb out of its drive (a ".." component).
    QString Map(const QString& drivePath) const;

private:
    QString m_root;
};

} // namespace platform
