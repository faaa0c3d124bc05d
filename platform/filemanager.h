#pragma once
// Showing a file in the desktop's file manager, where the client would ask "explorer.exe
// /select," for it: the folder that holds the file (or the folder itself) opens in the user's
// file manager through xdg-open.
#include <QString>

namespace platform {

class FileManager
{
public:
    // The folder opened for path: the path itself when it names a folder, else its folder.
    static QString FolderToOpen(const QString& path);
    // False when no file manager could be started.
    static bool Reveal(const QString& path);
};

} // namespace platform
