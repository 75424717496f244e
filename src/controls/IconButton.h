#pragma once

#include <QByteArray>
#include <QPixmap>
#include <QPoint>
#include <QPushButton>

class SoundPlayer;

// A flat push button with an icon above its caption: no frame until the
// pointer is over it (raised) or it is pressed (sunken, icon and caption one
// pixel right and down); disabled, a grey icon and an embossed caption. The
// parent's background shows through it. Clicks are ordinary clicked() signals.
class IconButton final : public QPushButton {
    Q_OBJECT

public:
    enum Alignment : int { kIconLeft = 0, kIconAbove = 1, kIconRight = 2, kIconOver = 3 };

    explicit IconButton(const QString& caption, QWidget* parent = nullptr);
    IconButton(const IconButton&) = delete;
    IconButton& operator=(const IconButton&) = delete;

    // The icon at its stored size; an unknown id leaves the button without icon.
    void LoadButtonIcon(int id);
    // The sound played, without waiting, each time the pointer enters.
    void SetHoverSound(SoundPlayer& player, int resourceId);
    void UseParentBackground();
    // 1 when the cursor could not be loaded (the default one shows), else 0.
    int SetButtonCursor(int id, bool repaint = true);
    void SetTooltip(const QString& text, bool active);
    // 0, or for a value above kIconOver 4, the alignment left as it was.
    int SetIconAlignment(int value, bool repaint = true);

    int IconAlignment() const { return alignment; }
    bool IsHover() const { return isHover; }
    bool UsesParentBackground() const { return useParentBackground; }
    const QPixmap& Icon() const { return icon; }
    QString TooltipText() const { return tooltipText_; }
    bool TooltipActive() const { return tooltipActive_; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    struct Layout {
        QRect iconRect;
        QRect textRect;
    };

    Layout ComputeLayout(bool pressed) const;
    void PaintFrame(QPainter& painter, bool pressed) const;
    void PaintIcon(QPainter& painter, const QRect& where) const;
    void PaintCaption(QPainter& painter, const QRect& where) const;
    void LoadDisabledIcon();
    void EnterHover();
    void ClearHover();

    bool isHover = false;
    int alignment = kIconLeft;
    QPoint imageOrigin{3, 3};
    QPoint pressedOffset{1, 1};
    QPixmap icon;
    QPixmap disabledIcon;
    bool useParentBackground = false;
    SoundPlayer* hoverPlayer_ = nullptr;
    QByteArray hoverSound;
    QString tooltipText_;
    bool tooltipActive_ = false;
};
