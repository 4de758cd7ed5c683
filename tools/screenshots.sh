#!/usr/bin/env bash
# Takes a screenshot of each window of the real program on a virtual display, for a person to
# look at: build/screenshots/start.png, lookup.png (after a search), lookup-focus.png (the display
# box with the focus), find.png and label.png (the find and label boxes beside it, whole screen),
# check.png (the table checked), help.png and help-2x.png
# (the help window at twice the scale, whole screen).
#   tools/screenshots.sh [BUILD_DIR]     (make screenshots)
set -euo pipefail
build=${1:-build/dev}
out=build/screenshots
mkdir -p "$out"
# A display number nobody else uses: the X server picks it and writes it to a pipe.
exec {displayfd}<> <(:)
Xvfb -displayfd "$displayfd" -screen 0 1280x1024x24 >/dev/null 2>&1 &
xvfb=$!
program=
trap 'kill $program "$xvfb" 2>/dev/null || true' EXIT
read -r -t 10 number <&"$displayfd"
export DISPLAY=:$number
(cd "$build/bin" && exec ./velmora) &
program=$!

# Waits for a window with exactly this title, then prints its id.
window() {
    for _ in $(seq 50); do
        id=$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -n 1 || true)
        if [ -n "$id" ]; then echo "$id"; return; fi
        sleep 0.2
    done
    echo "no window titled '$1'" >&2
    exit 1
}

start=$(window "3rd Generation F-body Velmora")
sleep 0.5
import -window "$start" "$out/start.png"
# Enter does nothing until Tab has moved the focus from the banner to the button.
xdotool key --window "$start" Tab Return
sleep 1
lookup=$(window "3rd Generation F-body Velmora")
# The focus is on Search. Tab: the boxes in their order, then the display box, Clear, Search.
for code in l98 g80 ws6 zz9 l9; do
    xdotool key --window "$lookup" Tab && xdotool type --window "$lookup" "$code"
done
# From the fifth box: ten more boxes, the display box and Clear, then Search.
for _ in $(seq 13); do xdotool key --window "$lookup" Tab; done
xdotool key --window "$lookup" Return
sleep 0.5
import -window "$lookup" "$out/lookup.png"
# Shift+Tab twice from Search: Clear, then the display box, which shows its focus mark.
xdotool key --window "$lookup" shift+Tab shift+Tab
sleep 0.3
import -window "$lookup" "$out/lookup-focus.png"
xdotool key --window "$lookup" alt+h
sleep 0.3
xdotool key Return
help=$(window "Velmora Help")
sleep 0.5
import -window "$help" "$out/help.png"
# Close Help Box has the focus: Return hides the help window. With no window manager on the
# virtual display nothing gives the focus back to the lookup window, so it is given here; then
# Ctrl+Q ends the program.
xdotool key --window "$help" Return
sleep 0.3
xdotool windowfocus --sync "$lookup"
# Ctrl+F opens the find box beside the window; the whole screen shows both. Keys sent to the
# lookup window reach the focus, in the active find box.
xdotool key --window "$lookup" ctrl+f
find=$(window "Find by description")
xdotool key --window "$lookup" a x l e Return
sleep 0.5
import -window root "$out/find.png"
# Escape closes the find box. Ctrl+L: the label box beside the window, a whole label decoded;
# then Ctrl+K: the table checked. The keys go where the focus is, given to each window in turn.
xdotool windowfocus --sync "$find" key Escape
xdotool windowfocus --sync "$lookup" sleep 0.5 key ctrl+l
label=$(window "Decode a label")
xdotool windowfocus --sync "$label" type "l98 g80, ws6; cc1 zz9 l9 g92 gu5 mx0 kc4 qqqq"
xdotool key Return sleep 0.5
import -window root "$out/label.png"
xdotool key Escape
xdotool windowfocus --sync "$lookup" sleep 0.5 key ctrl+k sleep 0.5
import -window "$lookup" "$out/check.png"
xdotool windowfocus --sync "$lookup"
# The window may be gone before the key comes up, which xdotool reports as an error.
xdotool key --window "$lookup" ctrl+q 2>/dev/null || true
for _ in $(seq 50); do
    kill -0 "$program" 2>/dev/null || break
    sleep 0.1
done
if kill -0 "$program" 2>/dev/null; then
    echo "the program did not end on Ctrl+Q" >&2
    exit 1
fi
wait "$program"

# The help window at twice the scale on the same screen: it fits, its picture smaller.
(cd "$build/bin" && QT_SCALE_FACTOR=2 exec ./velmora) &
program=$!
xdotool key --window "$(window "3rd Generation F-body Velmora")" alt+h && sleep 0.3
xdotool key Return && window "Velmora Help" >/dev/null && sleep 0.5
import -window root "$out/help-2x.png"
kill "$program"
echo "screenshots in $out: start.png lookup.png lookup-focus.png find.png label.png check.png help.png help-2x.png"
