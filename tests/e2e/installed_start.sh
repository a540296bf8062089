#!/bin/sh
# Installs Kestrel as a package would and starts it as a user with a fresh
# home: it must make its own settings from the installed defaults and
# open the start page. The program's folder is made read-only, so this
# holds for root as well.
# Usage: installed_start.sh BUILD_DIR
set -eu
build=$1
stage=$(mktemp -d)
home=$(mktemp -d)
# Kestrel writes its session and cookies as SIGTERM ends it: the home goes
# once it has.
cleanup() {
    if [ -n "$pid" ]; then
        kill "$pid" 2>/dev/null || true
        wait "$pid" 2>/dev/null || true
    fi
    chmod -R u+w "$stage"
    rm -rf "$stage" "$home"
}
trap cleanup EXIT
pid=

DESTDIR="$stage" cmake --install "$build" --prefix /usr >/dev/null
[ -x "$stage/usr/bin/kestrel" ] || { echo "no usr/bin/kestrel"; exit 1; }
[ -f "$stage/usr/share/kestrel/INI.ini" ] || { echo "no usr/share/kestrel/INI.ini"; exit 1; }
extra=$(ls -A "$stage/usr/bin" | grep -vx kestrel || true)
[ -z "$extra" ] || { echo "more than the program in bin/: $extra"; exit 1; }
[ ! -e "$stage$stage" ] || { echo "DESTDIR applied twice"; exit 1; }
chmod a-w "$stage/usr/bin"

env -u KESTREL_INI -u XDG_CONFIG_HOME HOME="$home" "$stage/usr/bin/kestrel" &
pid=$!

# Waits up to 30 s for a window whose title is exactly $1; prints its id.
window() {
    for _ in $(seq 150); do
        id=$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -n 1)
        [ -n "$id" ] && { echo "$id"; return 0; }
        sleep 0.2
    done
    echo "no window '$1'" >&2
    return 1
}

dialog=$(window "Welcome to Kestrel")
# Start is the dialog's default button; its first choice is the home page.
xdotool windowfocus --sync "$dialog"
xdotool key Return
window "Kestrel Start Page - Kestrel" >/dev/null
[ -f "$home/.config/Kestrel/INI.ini" ] || { echo "no per-user settings file"; exit 1; }
cmp -s "$home/.config/Kestrel/INI.ini" "$stage/usr/share/kestrel/INI.ini" \
    || grep -q "Startup=Home" "$home/.config/Kestrel/INI.ini" || { echo "per-user file is not from the defaults"; exit 1; }
echo "installed Kestrel opened its start page"
