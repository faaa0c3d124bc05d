#pragma once
// A push button drawn from state bitmaps (normal, pressed, checked, checked and pressed, and an
// optional override) with an optional caption in the player's face.
#include <QPixmap>
#include <QPushButton>

class HPImageManager;

class CSkinButton : public QPushButton
{
    Q_OBJECT
public:
    explicit CSkinButton(const QString& text = QString(), QWidget* parent = nullptr);

    // The four state bitmaps from the program's resource bitmaps; the button takes the size of
    // the normal one.
    void LoadBitmaps(int normal, int pressed, int checked, int checkedPressed);
    // The state bitmaps from files folder + name, through the image cache; `overrideFile` may be
    // empty.
    void LoadSkin(HPImageManager& images, const QString& folder, const QString& normalFile,
                  const QString& pressedFile, const QString& checkedFile, const QString& checkedPressedFile,
                  const QString& overrideFile = QString());
    void SetCheck(bool checked);
    bool IsChecked() const { return m_checked; }
    void DrawButton() { repaint(); }

    void SetDrawCaption(bool draw) { m_drawCaption = draw; }
    void SetTextColours(const QColor& normal, const QColor& checked);
    void SetOverride(bool on);
    void SetFaceName(const QString& face) { m_face = face; }
    // The bitmap the button shows in its current state (tests look at it).
    QPixmap CurrentBitmap() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void enterEvent(QEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    QPixmap m_normal, m_pressed, m_checkedBitmap, m_checkedPressed, m_override;
    QColor m_textColour{Qt::white};
    QColor m_checkedTextColour{Qt::white};
    QString m_face{QStringLiteral("Arial")};
    bool m_hover = false;
    bool m_down = false;
    bool m_checked = false;
    bool m_overrideOn = false;
    bool m_drawCaption = false;
};
