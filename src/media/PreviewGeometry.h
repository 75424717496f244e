#pragma once

#include <QMargins>
#include <QRect>
#include <QSize>

#include <cstdint>

// The cursor hides after this long without mouse activity in full screen,
// checked at every tick of the cursor timer.
inline constexpr std::uint32_t kCursorIdleMilliseconds = 100000;
inline constexpr int kCursorTimerMilliseconds = 50000;
inline constexpr int kPositionTimerMilliseconds = 1000;

// The first rectangle of the preview window: above the main window, from the
// left of the work area, four thirds as wide as it is high.
QRect InitialPreviewRect(const QRect& workArea, const QRect& ownerRect);

// Where the video goes in full screen. A video of up to a tenth of the screen
// is shown ten times its size, centred; a larger one fills the screen with its
// aspect ratio kept. An empty video size fills the screen.
QRect FullScreenVideoRect(const QSize& screen, const QSize& videoSize);

// The inside of a window at `window` sized for `wanted`, with `frame` around
// it, inside the work area: shrunk when too large, keeping its shape, and
// moved only as far as it has to.
QRect FitInWorkArea(const QRect& window, const QSize& wanted, const QRect& workArea, const QMargins& frame);

// numerator × size ÷ denominator, in integers (an invalid denominator keeps the size).
QSize ScaledVideoSize(const QSize& videoSize, int numerator, int denominator);

// True once the cursor has been idle longer than the limit; the clock may wrap.
bool CursorIdleExpired(std::uint32_t now, std::uint32_t lastActivity);
