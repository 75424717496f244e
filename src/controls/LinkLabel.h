#pragma once

#include <QColor>
#include <QFont>
#include <QLabel>
#include <QTimer>

class MessageService;
class Shell;

// A label that shows a link: link colours, underline, hand cursor, a tooltip
// with its target, and a click that opens the target in the browser.
class LinkLabel final : public QLabel {
    Q_OBJECT

public:
    enum UnderlineMode : int { kUnderlineHover = -1, kUnderlineNever = 0, kUnderlineAlways = 1 };

    // Replaces the template label control by a link with its text, place, id,
    // alignment and font; the link takes the label's text as target when it
    // has none. control is deleted.
    static LinkLabel* Attach(QLabel* control, Shell& shell, MessageService& messages);

    LinkLabel(Shell& shell, MessageService& messages, QWidget* parent);
    LinkLabel(const LinkLabel&) = delete;
    LinkLabel& operator=(const LinkLabel&) = delete;

    void SetTarget(const QString& newTarget);
    void SetUnderlineMode(int mode);
    // Resizes the control to its text, keeping the edge or centre its alignment names.
    void FitToText();

    const QString& Target() const { return target; }
    bool IsOverControl() const { return overControl; }
    bool IsVisited() const { return visited; }
    QColor TextColour() const;
    bool HoverTimerActive() const { return hoverTimer.isActive(); }

    static constexpr int kHoverPeriodMs = 100;

protected:
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void CheckPointerLeft();
    void Click();
    void ShowLaunchResult(int result);
    void ApplyColour();

    Shell& shell_;
    MessageService& messages_;
    QString target;
    QColor linkColour{0, 0, 238};
    QColor visitedColour{85, 26, 139};
    QColor hoverColour{255, 0, 0};
    bool overControl = false;
    bool visited = false;
    int underlineMode = kUnderlineHover;
    QTimer hoverTimer;
    QFont standardFont;
    QFont underlineFont;
};
