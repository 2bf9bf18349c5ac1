#!/usr/bin/env bash
# Takes the README's screenshots into docs/ under a virtual X server with a window
# manager: the main window with a page (main-window.png), a command focused from the
# keyboard (focus-frame.png), the find bar (find-bar.png), a PDF in the page
# (pdf-in-page.png), the Time Zone window (time-zone.png), the About window
# (about.png), and the windows a page brings up placed over the page (placed-*.png,
# fullscreen-notice.png, popup.png). Run it again after a change to what they show.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh --tests >/dev/null
cmake --build build --target velt_xshot >/dev/null
docs=$PWD/docs
xshot=$PWD/build/tools/velt_xshot

work=$(mktemp -d /tmp/velt-screenshots.XXXXXX)
pids=()
finish() {
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    wait 2>/dev/null || true
    rm -rf "$work"
}
trap finish EXIT

# The design's 640 x 480 screen, so the maximized main window is exactly its size.
Xvfb -displayfd 3 -screen 0 640x480x24 -nolisten tcp 3>"$work/display" 2>/dev/null &
pids+=($!)
for _ in $(seq 100); do [[ -s $work/display ]] && break; sleep 0.1; done
export DISPLAY=:$(<"$work/display")
openbox >/dev/null 2>&1 &
pids+=($!)
sleep 1

# The same texts on every run: a fixed locale, a page of our own, nothing of the user's.
export LANG=C.UTF-8 LC_ALL=C.UTF-8 HOME=$work/home
mkdir -p "$HOME"
cat >"$work/welcome.html" <<'HTML'
<!DOCTYPE html>
<html><head><meta charset="utf-8"><title>Welcome</title></head>
<body style="font-family: sans-serif; margin: 2em">
<h1>Welcome</h1>
<p>This page was opened from a local file. Type an address into the box above and press
Enter to go there; pick it from the box's list later to go there again.</p>
<p>The status bar shows the load state, the date and the time.</p>
</body></html>
HTML
# A one-page PDF, its cross-reference table counted out byte by byte.
python3 - "$work/letter.pdf" <<'PY'
import sys
text = b"BT /F1 24 Tf 72 720 Td (A PDF in the page) Tj 0 -36 Td /F1 14 Tf (Shown by the engine's viewer; find works in it too.) Tj ET"
objects = [b"<< /Type /Catalog /Pages 2 0 R >>", b"<< /Type /Pages /Kids [3 0 R] /Count 1 >>",
           b"<< /Type /Page /Parent 2 0 R /MediaBox [0 0 612 792] /Contents 4 0 R /Resources << /Font << /F1 5 0 R >> >> >>",
           b"<< /Length %d >>\nstream\n" % len(text) + text + b"\nendstream",
           b"<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica >>"]
out, offsets = b"%PDF-1.4\n", []
for number, body in enumerate(objects, 1):
    offsets.append(len(out))
    out += b"%d 0 obj\n" % number + body + b"\nendobj\n"
xref = len(out)
out += b"xref\n0 %d\n0000000000 65535 f \n" % (len(objects) + 1) + b"".join(b"%010d 00000 n \n" % o for o in offsets)
out += b"trailer\n<< /Size %d /Root 1 0 R >>\nstartxref\n%d\n%%%%EOF\n" % (len(objects) + 1, xref)
open(sys.argv[1], "wb").write(out)
PY
build/app/velt-browser 2>/dev/null &
pids+=($!)
xdotool search --sync --name '^Ovo$' >/dev/null

# Positions in the main window, from its layout table in twips (15 to a pixel).
click() { xdotool mousemove "$1" "$2" click 1; }
click 322 42                                    # the address box
xdotool key ctrl+a type "$work/welcome.html"
xdotool key Return
sleep 3
"$xshot" "$docs/main-window.png"

# From the address box, Tab to the fourth command: Refresh, framed.
click 322 42
xdotool key Tab Tab Tab Tab
sleep 0.5
"$xshot" "$docs/focus-frame.png" 0 0 640 100
click 320 300                                   # into the page
xdotool key ctrl+f
xdotool type "the"
xdotool key Return
sleep 1
"$xshot" "$docs/find-bar.png"
xdotool key Escape
click 322 42
xdotool key ctrl+a type "$work/letter.pdf"
xdotool key Return
sleep 4
"$xshot" "$docs/pdf-in-page.png"

# A window with its frame, as the window manager shows it.
shoot() {
    local id x y width height left right top bottom
    id=$(xdotool search --sync --name "^$1\$" | head -1)
    sleep "$3"
    read -r x y width height < <(xwininfo -id "$id" | awk '/Absolute upper-left X/ {x = $NF}
        /Absolute upper-left Y/ {y = $NF} /Width:/ {w = $NF} /Height:/ {h = $NF} END {print x, y, w, h}')
    read -r left right top bottom < <(xprop -id "$id" _NET_FRAME_EXTENTS | sed 's/.*= //; s/,//g')
    "$xshot" "$docs/$2" $((x - left)) $((y - top)) $((width + left + right)) $((height + top + bottom))
}
click 372 64                                    # Label15: Time Zone
shoot "Time Zone" time-zone.png 1
click 594 67                                    # Label16, the logo: About
shoot "About Velt Browser" about.png 2
xdotool key Escape                              # About's OK

# Windows a page brings up, over the page area: a permission question as the page
# opens, the save dialog and the Downloads window for a link, and the notice of a
# page gone full screen. The page is served on 127.0.0.1, as a site would be.
mkdir -p "$work/site"
printf 'A report.\n' >"$work/site/report.txt"
cat >"$work/site/index.html" <<'HTML'
<!DOCTYPE html>
<html><head><meta charset="utf-8"><title>Maps</title></head>
<body style="font-family: sans-serif; margin: 0">
<a href="report.txt" download style="display: block; height: 120px; padding: 1em">Download the report</a>
<button style="display: block; width: 100%; height: 120px"
        onclick="document.documentElement.requestFullscreen()">Full screen</button>
<script>navigator.geolocation.getCurrentPosition(() => {}, () => {});</script>
</body></html>
HTML
cat >"$work/site/shop.html" <<'HTML'
<!DOCTYPE html>
<html><head><meta charset="utf-8"><title>Garden Shop</title></head>
<body style="font-family: sans-serif; margin: 1em">
<button style="position: absolute; left: 460px; top: 16px; width: 150px; height: 36px"
        onclick="window.open('signin.html', 'signin', 'width=420,height=270')">Sign in</button>
<h1>Garden Shop</h1>
<p>Seeds, bulbs and tools, sent the same day. Sign in to see your orders and your list.</p>
<p>Spring bulbs are in: tulips, daffodils and crocuses, in boxes of twenty.</p>
</body></html>
HTML
cat >"$work/site/signin.html" <<'HTML'
<!DOCTYPE html>
<html><head><meta charset="utf-8"><title>Sign in</title></head>
<body style="font-family: sans-serif; margin: 1em">
<h3>Sign in to Garden Shop</h3>
<p><label>E-mail<br><input style="width: 95%" value="ann@example.com"></label></p>
<p><label>Password<br><input type="password" style="width: 95%" value="secret"></label></p>
<button onclick="opener.postMessage('signed in', '*'); window.close()">Sign in</button>
</body></html>
HTML
python3 -m http.server --bind 127.0.0.1 --directory "$work/site" 8765 >/dev/null 2>&1 &
pids+=($!)
sleep 1
click 322 42
xdotool key ctrl+a type "http://127.0.0.1:8765/"
xdotool key Return
xdotool search --sync --name '^Permission$' >/dev/null
sleep 1
"$xshot" "$docs/placed-permission.png"
key() { local id; id=$(xdotool search --name "^$1\$" | head -1); xdotool windowactivate --sync "$id" key "$2"; }
key Permission Escape                           # Deny
click 500 140                                   # the link
xdotool search --sync --name '^Save As$' >/dev/null
sleep 1
"$xshot" "$docs/placed-save.png"
xdotool key Return
xdotool search --sync --name '^Downloads$' >/dev/null
sleep 1
"$xshot" "$docs/placed-downloads.png"
key Downloads Escape                            # closes it
click 300 260                                   # full screen
sleep 1.5
"$xshot" "$docs/fullscreen-notice.png"
xdotool key Escape                              # out of full screen

# A sign-in popup that a page opens on the user's click: a small window of its own over
# the page area, saying where it really is.
click 322 42
xdotool key ctrl+a type "http://127.0.0.1:8765/shop.html"
xdotool key Return
sleep 2
click 535 114                                   # Sign in
xdotool search --sync --name '^http://127.0.0.1:8765$' >/dev/null
sleep 1.5
"$xshot" "$docs/popup.png"
echo "Wrote $docs/main-window.png, focus-frame.png, find-bar.png, pdf-in-page.png, time-zone.png, about.png, placed-*.png, fullscreen-notice.png and popup.png"
