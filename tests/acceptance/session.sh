# Helpers for driving the real program under Xvfb: its own display, a
# window manager, the program started as a user starts it, and input sent
# through the window system with xdotool. Sourced by the acceptance tests.

set -euo pipefail

# Bounded waits: generous for a loaded two-core machine, never needed in full.
wait_limit=${FRAMELIFT_ACCEPTANCE_WAIT:-60}

# A failing test leaves a picture of the screen where FRAMELIFT_ACCEPTANCE_SHOTS names a folder.
fail() {
  echo "FAIL: $*" >&2
  [ -n "${work:-}" ] && tail -n 5 "$work"/*.log >&2 2>/dev/null
  if [ -n "${FRAMELIFT_ACCEPTANCE_SHOTS:-}" ] && [ -n "${DISPLAY:-}" ]; then
    import -silent -window root "$FRAMELIFT_ACCEPTANCE_SHOTS/$(basename "$0")-failed.png" 2>/dev/null || true
  fi
  exit 1
}
note() { echo "-- $*"; }

# Runs "$@" every 0.2 s until it succeeds or wait_limit seconds have passed.
wait_for() {
  local what=$1; shift
  local deadline=$((SECONDS + wait_limit))
  until "$@" >/dev/null 2>&1; do
    [ "$SECONDS" -lt "$deadline" ] || fail "timed out waiting for $what"
    sleep 0.2
  done
}

# A fresh display (screen_size, 1280x960 unless set), a window manager and a
# private home; all torn down on exit, also when a test fails or is stopped.
display_wait_limit=$wait_limit
source "$(dirname "${BASH_SOURCE[0]}")/../../scripts/with-display"
start_session() {
  work=$(mktemp -d)
  pids=()
  trap end_session EXIT
  trap 'exit 129' HUP
  trap 'exit 130' INT
  trap 'exit 143' TERM
  display_start "${screen_size:-1280x960}" "$work" || fail "no display with a window manager"
  export HOME="$work/home" XDG_CONFIG_HOME="$work/home/.config" XDG_RUNTIME_DIR="$work/home"
  mkdir -p "$XDG_CONFIG_HOME"
  chmod 700 "$work/home"
}

end_session() {
  local pid
  for ((i = ${#pids[@]} - 1; i >= 0; i--)); do
    pid=${pids[i]}
    kill "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
  done
  display_stop
  rm -rf "$work"
}

# Starts the program and waits for its main window.
start_program() {
  # The suite runs on Qt's offscreen platform; the program here is on the display.
  QT_QPA_PLATFORM=xcb "$program" >"$work/program.log" 2>&1 &
  program_pid=$!
  pids+=("$program_pid")
  wait_for "the main window" main_window_id
  main=$(main_window_id)
  wait_for "the main window to show" window_viewable "$main"
  wait_for "the main window to be drawn" grab_control "$work/play-disabled.png" 14 87 66 14
}

main_window_id() { xdotool search --limit 1 --onlyvisible --name '^Framelift$' 2>/dev/null | head -n1 | grep .; }
preview_window_id() { xdotool search --all --onlyvisible --pid "$program_pid" --name "$1" 2>/dev/null | head -n1 | grep .; }
window_viewable() { xwininfo -id "$1" | grep -q 'IsViewable'; }
window_gone() { ! xwininfo -id "$1" 2>/dev/null | grep -q 'IsViewable'; }

# x y width height of a window's inside, in screen coordinates.
window_geometry() {
  xwininfo -id "$1" | awk '/Absolute upper-left X/{x=$4} /Absolute upper-left Y/{y=$4}
                           /Width:/{w=$2} /Height:/{h=$2} END{print x, y, w, h}'
}

# The main window is laid out from a table in dialog units (357 x 196); a
# control's centre in those units maps onto the window's inside in proportion.
main_point() {
  local x y w h
  read -r x y w h < <(window_geometry "$main")
  echo $((x + $1 * w / 357)) $((y + $2 * h / 196))
}

click_at() { xdotool mousemove --sync "$1" "$2" click "${3:-1}"; }
# Clicks a main window control by the centre of its dialog-unit rectangle.
click_control() { click_at $(main_point "$1" "$2") "${3:-1}"; }

# Opens a clip with the Open Video button and the file chooser, as a user does.
open_clip() {
  click_control 42 21
  wait_for "the file chooser" xdotool search --all --onlyvisible --pid "$program_pid" --name 'Open'
  local chooser
  chooser=$(xdotool search --all --onlyvisible --pid "$program_pid" --name 'Open' | head -n1)
  xdotool windowactivate --sync "$chooser" 2>/dev/null || xdotool windowfocus --sync "$chooser"
  xdotool key --clearmodifiers ctrl+a
  xdotool type --delay 20 "$1"
  xdotool key Return
  wait_for "the preview window" preview_window_id "$(basename "$1")"
  preview=$(preview_window_id "$(basename "$1")")
  wait_for "the playback controls" play_enabled
}

# The Play button no longer looks as it did, disabled, before a clip was open.
play_enabled() {
  grab_control "$work/play-now.png" 14 87 66 14 && ! same_pictures "$work/play-disabled.png" "$work/play-now.png"
}



# Drags files (paths or URLs) with the mouse from a drag source of its own
# onto the screen point x y, through the window system's drag-and-drop, and
# prints the action the target took: copy, move, link, or none when refused.
drag_files_to() {
  local x=$1 y=$2; shift 2
  local out
  out=$(mktemp "$work/drag-XXXX.out")
  QT_QPA_PLATFORM=xcb "$FRAMELIFT_DRAG_SOURCE" "$@" >"$out" 2>"$work/drag.log" &
  local source_pid=$! source
  pids+=("$source_pid")
  wait_for "the drag source" xdotool search --onlyvisible --pid "$source_pid" --name '^drag-source$'
  source=$(xdotool search --onlyvisible --pid "$source_pid" --name '^drag-source$' | head -n1)
  wait_for "the drag source in its corner" in_corner "$source"
  local sx sy sw sh step
  read -r sx sy sw sh < <(window_geometry "$source")
  sx=$((sx + sw / 2)) sy=$((sy + sh / 2))
  xdotool mousemove --sync "$sx" "$sy" mousedown 1
  # The target hears of the drag as the pointer moves over it.
  for step in 1 2 3 4 5; do
    xdotool mousemove --sync $((sx + (x - sx) * step / 5)) $((sy + (y - sy) * step / 5))
    sleep 0.2
  done
  xdotool mouseup 1
  wait_for "the drop" test -s "$out"
  cat "$out"
}
# Moves a window into the bottom right corner, away from the program's
# windows; the window manager may still be placing it the first time.
in_corner() {
  xdotool windowmove --sync "$1" 1150 830
  local x y
  read -r x y _ < <(window_geometry "$1")
  [ "$x" -ge 1100 ] && [ "$y" -ge 800 ]
}

# Visible windows of the program; a popup menu adds one.
window_count() { xdotool search --onlyvisible --class framelift 2>/dev/null | wc -l; }
more_windows_than() { [ "$(window_count)" -gt "$1" ]; }

# Mean brightness (0-255) of a window's inside, or of a picture file.
brightness() {
  import -silent -window "$1" "$work/grab.png" 2>/dev/null && picture_brightness "$work/grab.png"
}
picture_brightness() { convert "$1" -format '%[fx:int(mean*255)]' info:; }
brightness_between() {
  local b
  b=$(brightness "$1") || return 1
  [ "$b" -ge "$2" ] && [ "$b" -le "$3" ]
}
# Left, right, top and bottom of the frame the window manager puts around a window.
frame_extents() { xprop -id "$1" _NET_FRAME_EXTENTS | sed 's/.*= //; s/,//g' | grep -E '^[0-9]+ [0-9]+ [0-9]+ [0-9]+$'; }
# x y width height of the work area.
work_area() { xprop -root _NET_WORKAREA | sed 's/.*= //; s/,//g' | cut -d' ' -f1-4; }
window_width_is() { [ "$(window_geometry "$1" | cut -d' ' -f3)" "$2" "$3" ]; }

# A clip whose brightness grows with time: grey level 40 at the start to 220
# at the end, so a picture tells where in the clip the player is. Shown on
# screen as (level - 16) * 255 / 219.
make_ramp_clip() {
  local path=$1 seconds=$2; shift 2
  ffmpeg -nostdin -loglevel error -y -f lavfi \
    -i "color=c=gray:s=320x240:r=25:d=$seconds,format=yuv420p,geq=lum='40+180*T/$seconds':cb=128:cr=128" \
    "$@" "$path"
}
# The screen brightness of the ramp clip at a fraction (percent) of its length.
ramp_brightness() { echo $(((40 + 180 * $1 / 100 - 16) * 255 / 219)); }

# Saves the pixels of a main window control, given by its dialog-unit rectangle.
grab_control() {
  local x y w h
  read -r x y w h < <(window_geometry "$main")
  import -silent -window "$main" -crop "$(($4 * w / 357))x$(($5 * h / 196))+$(($2 * w / 357))+$(($3 * h / 196))" \
    +repage "$1" 2>/dev/null
}
same_pictures() { [ "$(compare -metric AE "$1" "$2" null: 2>&1)" = 0 ]; }
