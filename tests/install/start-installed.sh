# Sourced by the install checks.

. "$(dirname "${BASH_SOURCE[0]}")/../../scripts/with-display"

# ShowInstalled <program> <home> <language> <picture>: starts an installed
# program on a display of its own, from a working folder and a home of its
# own with the language chosen in its settings, saves a picture of its main
# window once it is drawn, then closes it with Escape as a user would. Fails
# when no window shows or the program does not end by itself with status 0.
ShowInstalled() {
  local program="$1" home="$2" language="$3" picture="$4"
  rm -rf "$home"
  mkdir -p "$home/.config/Quenlar"
  chmod 700 "$home"
  printf '[Option]\nCurrentLanguage=%s\n' "$language" >"$home/.config/Quenlar/framelift.ini"
  (
    trap display_stop EXIT
    display_start 1024x768 "$home" || exit 1
    cd "$home"
    # The suite runs on Qt's offscreen platform; the program here is on the display.
    HOME="$home" XDG_CONFIG_HOME="$home/.config" XDG_RUNTIME_DIR="$home" QT_QPA_PLATFORM=xcb \
      "$program" >"$home/program.log" 2>&1 &
    local pid=$! window
    display_until InstalledWindow "$pid" || { echo "no main window appeared"; cat "$home/program.log"; exit 1; }
    window=$(InstalledWindow "$pid")
    display_until GrabDrawn "$window" "$picture" || { echo "the main window was never drawn"; exit 1; }
    xdotool windowactivate --sync "$window" key Escape
    display_until Ended "$pid" || { echo "the program did not end on Escape"; kill "$pid"; exit 1; }
    wait "$pid" || { echo "the program ended with status $?"; cat "$home/program.log"; exit 1; }
  )
}

InstalledWindow() { xdotool search --onlyvisible --pid "$1" --class framelift 2>/dev/null | head -n1 | grep .; }
Ended() { ! kill -0 "$1" 2>/dev/null; }

# Saves a window's picture once two grabs in a row agree and show more than one colour.
GrabDrawn() {
  local window="$1" picture="$2"
  import -silent -window "$window" "ppm:$picture.next" || return 1
  if [ -f "$picture" ] && cmp -s "$picture" "$picture.next" && [ "$(identify -format '%k' "$picture")" -gt 1 ]; then
    rm "$picture.next"
    return 0
  fi
  mv "$picture.next" "$picture"
  return 1
}

# CheckStarted <program>: the program shows its main window, and it found the
# language files it was installed with: chosen in its settings, the shipped
# French file relabels the window (the English texts are built in as well,
# so only another language shows that the files were read).
CheckStarted() {
  local program="$1" work
  work="$(mktemp -d)"
  ShowInstalled "$program" "$work/home" english "$work/english.ppm" || { echo "the installed program failed"; return 1; }
  ShowInstalled "$program" "$work/home" French "$work/french.ppm" || { echo "the installed program failed in French"; return 1; }
  if cmp -s "$work/english.ppm" "$work/french.ppm"; then
    echo "the main window shows no texts from the installed language files"
    return 1
  fi
  rm -rf "$work"
}

# CheckHelp <help folder> <source help folder>: every file of the source's
# help is there, and every page and picture an installed help page links to
# is installed beside it.
CheckHelp() {
  local help="$1" source="$2" file target
  for file in "$source"/*; do
    [ -s "$help/$(basename "$file")" ] || { echo "help file not installed: $(basename "$file")"; return 1; }
  done
  for file in "$help"/*.htm; do
    # Local targets only, without their #anchor.
    for target in $(grep -oE '(href|src)="[^"]+"' "$file" | sed 's/^[a-z]*="//; s/"$//; s/#.*//' |
      grep -v ':' | sort -u); do
      [ -s "$help/$target" ] || { echo "$(basename "$file") links to $target, which is not installed"; return 1; }
    done
  done
}

# CheckCommand <program>: the installed command converts a second of a clip
# made by the ffmpeg program from another working folder, with a home of its
# own, and its manual page beside it reads without a warning.
CheckCommand() {
  local program="$1" work count
  work="$(mktemp -d)"
  ffmpeg -nostdin -loglevel error -f lavfi -i testsrc2=size=160x120:rate=10 -t 2 "$work/clip.mp4"
  (cd "$work" && HOME="$work" XDG_CONFIG_HOME="$work/.config" "$program" --format png --end 1 -o out clip.mp4 \
    >/dev/null) || { echo "the installed command failed"; return 1; }
  count="$(find "$work/out" -name 'capture.*.png' | wc -l)"
  [ "$count" -eq 10 ] || { echo "the installed command wrote $count pictures of 10"; return 1; }
  local page
  page="$(dirname "$program")/../share/man/man1/framelift-extract.1"
  [ -z "$(groff -man -ww -z "$page" 2>&1)" ] || { groff -man -ww -z "$page"; return 1; }
  rm -rf "$work"
}
