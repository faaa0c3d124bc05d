#pragma once
// A preset tour: the presets first to last visited one after another, then first again. Keeps
// only the numbers; the panel owns the timer and sends the commands. Widget-free.
class PtzTour
{
public:
    static constexpr int kStepMs = 6000;

    bool Running() const { return m_position != -1 && m_first != 0 && m_last != 0; }
    void Begin(int first, int last);
    void End();
    // The preset the step now due goes to (past the last it starts at the first again); -1
    // without a tour.
    int Due();
    // The step went out: the next one goes to the following preset.
    void Advance() { ++m_position; }

    int First() const { return m_first; }
    int Last() const { return m_last; }
    int Position() const { return m_position; }

private:
    int m_first = 0;
    int m_last = 0;
    int m_position = -1;
};
