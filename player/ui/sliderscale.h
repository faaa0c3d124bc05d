#pragma once
// The skinned slider's arithmetic: the pixel of a position and the position of a pixel along
// its track, with the thumb size and the margins at both ends. Limits that are equal are
// treated as one position at the track's start instead of dividing by zero.
class SliderScale
{
public:
    SliderScale(int minimum, int maximum, int length, int thumb, int firstMargin, int lastMargin);

    int PixelOf(int position) const;
    int PositionOf(int pixel) const;
    // Clamps a mouse coordinate (after the drag offset) to the track.
    int ClampPixel(int pixel) const;

private:
    int m_minimum;
    int m_maximum;
    int m_length;
    int m_thumb;
    int m_first;
    int m_last;
    int m_end; // length − last margin − thumb − first margin
};
