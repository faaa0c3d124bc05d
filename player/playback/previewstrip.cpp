#include "playback/previewstrip.h"

PreviewStrip::PreviewStrip(int number)
    : m_number(qBound(0, number, kPreviews - 1))
{}

int PreviewStrip::PositionFor(int length, int number)
{
    return (length > 10 ? length / 10 : 1) * number;
}

QRect PreviewStrip::Geometry(const QRect& slider, int number, const QSize& picture)
{
    const QSize aspect = picture.isEmpty() ? kBlankPicture : picture;
    const int width = qMax(0, (slider.width() - 10) / 10);
    const int height = width * aspect.height() / aspect.width();
    const int left = slider.left() + 5 + number * width;
    const int top = slider.top() + slider.height() - 5 - height;
    return QRect(left, top, width, height);
}

PreviewStrip::Action PreviewStrip::ShowPreview(int command, int length, bool noPicture)
{
    if (command == 0 || length < m_number) {
        m_position = -1;
        m_shown = false;
        return Action::Clear;
    }
    if (command != 1) {
        m_shown = command != 2;
        return m_shown ? Action::Show : Action::Hide;
    }
    m_shown = true;
    if (noPicture)
        return Action::None;
    if (m_position >= 0)
        return Action::Show;
    m_position = PositionFor(length, m_number);
    return Action::ReadAndShow;
}

bool PreviewStrip::ClickSeeks(int length, bool tileSelected) const
{
    return length > 10 && tileSelected && m_position >= 0;
}
