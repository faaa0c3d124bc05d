#pragma once
// A borderless tip that shows a short text (a slider's value) next to a control and sizes
// itself to the text.
#include <QWidget>

class CTipPopup : public QWidget
{
    Q_OBJECT
public:
    CTipPopup(QWidget* owner, const QString& faceName);

    void Show();
    void Hide();
    // `point` in the owner's client coordinates.
    void SetPosition(const QPoint& point);
    void SetText(const QString& text);
    bool IsShown() const { return m_shown; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void Resize();

    QWidget* m_owner;
    QFont m_font;
    QPoint m_position;
    QString m_text;
    bool m_shown = false;
};
