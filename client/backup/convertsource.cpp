#include "backup/convertsource.h"

#include "backup/recordingconvertsource.h"

namespace {

ConvertSource::Factory& InstalledFactory()
{
    static ConvertSource::Factory factory;
    return factory;
}

} // namespace

void ConvertSource::InstallFactory(Factory factory)
{
    InstalledFactory() = std::move(factory);
}

std::unique_ptr<ConvertSource> ConvertSource::Create(QWidget* parent)
{
    if (const Factory& factory = InstalledFactory())
        return factory(parent);
    return std::make_unique<RecordingConvertSource>();
}
