#pragma once
// Whether a label's text is the caption of the recorder's shutdown page, in any of the languages
// the recorder speaks. Widget-free.
#include <QString>

class ShutdownCaption
{
public:
    static bool Matches(const QString& text);
};
