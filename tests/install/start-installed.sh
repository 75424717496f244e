# Sourced by the install checks.

# StartInstalled <program> <home> <language>: runs an installed program under
# Xvfb from a working folder and a home of its own, with the language chosen
# in its settings, until its screenshot tour has saved its windows into
# <home>/shots and it has closed by itself.
StartInstalled() {
  local program="$1" home="$2" language="$3"
  rm -rf "$home"
  mkdir -p "$home/.config/Quenlar"
  chmod 700 "$home"
  printf '[Option]\nCurrentLanguage=%s\n' "$language" >"$home/.config/Quenlar/framelift.ini"
  (cd "$home" && HOME="$home" XDG_CONFIG_HOME="$home/.config" XDG_RUNTIME_DIR="$home" \
    FRAMELIFT_SCREENSHOT_DIR="$home/shots" timeout 60 xvfb-run -a -s "-screen 0 1024x768x24" "$program")
}

# CheckStarted <program>: the program shows its main window, and it found the
# language files it was installed with: chosen in its settings, the shipped
# French file relabels the window (the English texts are built in as well,
# so only another language shows that the files were read).
CheckStarted() {
  local program="$1" work
  work="$(mktemp -d)"
  StartInstalled "$program" "$work/home" english || { echo "the installed program failed"; return 1; }
  [ -s "$work/home/shots/main-window.png" ] || { echo "no main window appeared"; return 1; }
  mv "$work/home/shots/main-window.png" "$work/english.png"
  StartInstalled "$program" "$work/home" French || { echo "the installed program failed in French"; return 1; }
  [ -s "$work/home/shots/main-window.png" ] || { echo "no main window appeared in French"; return 1; }
  if cmp -s "$work/english.png" "$work/home/shots/main-window.png"; then
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
