#include "media/PreviewGeometry.h"

namespace {

// Wider than the screen at the same height: the width decides.
QRect FitWidth(int cx, int cy, float ratio)
{
    const int top = (cy - static_cast<int>(static_cast<float>(cx) / ratio)) / 2;
    return QRect(0, top, cx, cy - 2 * top);
}

QRect FitHeight(int cx, int cy, float ratio)
{
    const int left = (cx - static_cast<int>(static_cast<float>(cy) * ratio)) / 2;
    return QRect(left, 0, cx - 2 * left, cy);
}

} // namespace

QRect InitialPreviewRect(const QRect& workArea, const QRect& ownerRect)
{
    const int left = workArea.left() + 100;
    const int top = workArea.top() + 5;
    const int bottom = ownerRect.top();
    const int right = workArea.left() + (bottom - top) * 4 / 3;
    return QRect(left, top, right - left, bottom - top);
}

QRect FullScreenVideoRect(const QSize& screen, const QSize& videoSize)
{
    const int cx = screen.width();
    const int cy = screen.height();
    const int w = videoSize.width() * 10;
    const int h = videoSize.height() * 10;
    if (w <= 0 || h <= 0)
        return QRect(0, 0, cx, cy);
    // Single precision, as the placement has always been computed.
    const float ratio = static_cast<float>(w) / static_cast<float>(h);
    const float sx = static_cast<float>(cx) / static_cast<float>(w);
    const float sy = static_cast<float>(cy) / static_cast<float>(h);
    if (w <= cx && h <= cy)
        return QRect((cx - w) / 2, (cy - h) / 2, w, h);
    if (w > cx && h <= cy)
        return FitWidth(cx, cy, ratio);
    if (w <= cx)
        return FitHeight(cx, cy, ratio);
    return sx < sy ? FitWidth(cx, cy, ratio) : FitHeight(cx, cy, ratio);
}

QRect FitInWorkArea(const QRect& window, const QSize& wanted, const QRect& workArea, const QMargins& frame)
{
    const QRect room = workArea.marginsRemoved(frame);
    QSize size = wanted;
    if (size.width() > room.width() || size.height() > room.height())
        size = wanted.scaled(room.size(), Qt::KeepAspectRatio);
    QRect fitted(window.topLeft(), size.expandedTo(QSize(1, 1)));
    if (fitted.right() > room.right())
        fitted.moveRight(room.right());
    if (fitted.bottom() > room.bottom())
        fitted.moveBottom(room.bottom());
    if (fitted.left() < room.left())
        fitted.moveLeft(room.left());
    if (fitted.top() < room.top())
        fitted.moveTop(room.top());
    return fitted;
}

QSize ScaledVideoSize(const QSize& videoSize, int numerator, int denominator)
{
    if (denominator <= 0)
        return videoSize;
    return QSize(numerator * videoSize.width() / denominator, numerator * videoSize.height() / denominator);
}

bool CursorIdleExpired(std::uint32_t now, std::uint32_t lastActivity)
{
    return static_cast<std::uint32_t>(now - lastActivity) > kCursorIdleMilliseconds;
}
