#include "fuzz/support/quiethub.h"

#include <QDir>
#include <QTemporaryDir>

FuzzProgramDirectory::FuzzProgramDirectory()
    : m_previous(QDir::currentPath())
{
    static QTemporaryDir programDirectory;
    QDir::setCurrent(programDirectory.path());
}

FuzzProgramDirectory::~FuzzProgramDirectory()
{
    QDir::setCurrent(m_previous);
}

QuietHub* QuietHub::Create()
{
    FuzzProgramDirectory in;
    return new QuietHub;
}
