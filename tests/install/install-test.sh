#!/usr/bin/env bash
# Installs the build into a temporary prefix and checks what a desktop and a user see.
# Arguments: cmake, the build folder, the application id, the version.
set -euo pipefail
cmake=$1 build=$2 id=$3 version=$4

# Under /tmp, which every user can pass through.
work=$(mktemp -d /tmp/vexilo-install.XXXXXX)
prefix=$work/prefix
fail() { echo "FAIL: $*" >&2; exit 1; }

# The install writes its manifest into the build folder: the user's own install keeps its list.
manifest=$build/install_manifest.txt
[ -f "$manifest" ] && cp -p "$manifest" "$work/manifest"
cleanup() {
    if [ -f "$work/manifest" ]; then cp -p "$work/manifest" "$manifest"; else rm -f "$manifest"; fi
    chmod -R u+w "$work" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT

"$cmake" --install "$build" --prefix "$prefix" >/dev/null

for f in bin/vexilo bin/vexilo-render bin/vexilo-glyphs share/vexilo/Узкий/Вс.gif \
         share/vexilo/Справка.html share/vexilo/Классика/0.gif share/vexilo/Классика/Вс.gif \
         share/vexilo/Плакат/9.gif \
         "share/applications/$id.desktop" "share/metainfo/$id.metainfo.xml" \
         share/man/man1/vexilo.1.gz share/man/man1/vexilo-render.1.gz \
         share/man/man1/vexilo-glyphs.1.gz share/doc/vexilo/copyright \
         libexec/vexilo/vexilo-svgloader; do
    [ -f "$prefix/$f" ] || fail "$f is not installed"
done
for size in 16 32 48 256; do
    icon=$prefix/share/icons/hicolor/${size}x${size}/apps/$id.png
    [ -f "$icon" ] || fail "no ${size}px icon"
    # A PNG's width and height are the big-endian words at bytes 16 and 20.
    dims=$(od -An -tu1 -j16 -N8 "$icon" | awk '{print $3*256+$4 "x" $7*256+$8}')
    [ "$dims" = "${size}x${size}" ] || fail "the ${size}px icon is $dims"
done
[ -x "$prefix/bin/vexilo" ] && [ -x "$prefix/bin/vexilo-render" ] || fail "programs not executable"

desktop-file-validate "$prefix/share/applications/$id.desktop"
appstreamcli validate --no-net "$prefix/share/metainfo/$id.metainfo.xml" >/dev/null \
    || appstreamcli validate --no-net "$prefix/share/metainfo/$id.metainfo.xml"
for page in vexilo vexilo-render vexilo-glyphs; do
    out=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$prefix/share/man/man1/$page.1.gz" 2>&1 >/dev/null)
    [ -z "$out" ] || fail "man page $page.1: $out"
done
# The page names the shared folder of the prefix it was installed into.
zcat "$prefix/share/man/man1/vexilo.1.gz" | grep -qF "$prefix/share/vexilo/" \
    || fail "vexilo.1 does not name $prefix/share/vexilo/"

# No display: --version and --help must not need one.
for prog in vexilo vexilo-render vexilo-glyphs; do
    line=$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$prefix/bin/$prog" --version)
    [ "$line" = "$prog $version" ] || fail "$prog --version printed '$line'"
    env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$prefix/bin/$prog" --help >/dev/null \
        || fail "$prog --help failed"
done

# The rest runs as an ordinary user against a read-only prefix.
if [ "$(id -u)" -ne 0 ]; then
    echo "not root: the read-only run as another user is skipped"
    exit 77
fi
chmod 755 "$work"
touch "$work/installed"
chmod -R a-w "$prefix"
home=$work/home
mkdir -p "$home/run"
chmod 700 "$home/run"
chown -R nobody "$home"
as_user() {
    (cd "$home" && setpriv --reuid=nobody --regid=nogroup --clear-groups \
        env -i HOME="$home" XDG_RUNTIME_DIR="$home/run" PATH=/usr/bin:/bin LC_ALL=C.UTF-8 "$@")
}

as_user "$prefix/bin/vexilo-render" -y 2027 -o "$home/k" >/dev/null
for row in 1 2 3; do
    [ -s "$home/k_ряд$row.bmp" ] || fail "vexilo-render wrote no k_ряд$row.bmp"
done

# The window starts from the read-only prefix and keeps running until it is stopped. It is
# stopped once it has made its data folder, however long a busy machine takes to get there;
# the status is 3 when it ended by itself first.
# shellcheck disable=SC2016 # expanded by the user's shell
window_run='QT_QPA_PLATFORM=offscreen "$1" & window=$!
while [ ! -d "$HOME/.local/share/Vexilo" ]; do
    kill -0 "$window" 2>/dev/null || { wait "$window"; exit 3; }
    sleep 0.1
done
kill "$window"
wait "$window"
exit 0'
status=0
as_user timeout 300 sh -c "$window_run" sh "$prefix/bin/vexilo" 2>"$work/vexilo.err" || status=$?
[ "$status" -eq 0 ] || { cat "$work/vexilo.err" >&2; fail "vexilo ended with $status"; }
[ -d "$home/.local/share/Vexilo" ] || fail "vexilo made no data folder for the user"

[ -z "$(find "$prefix" -newer "$work/installed")" ] || fail "something was written into the prefix"
echo "installed layout OK"
