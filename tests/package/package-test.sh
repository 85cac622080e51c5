#!/usr/bin/env bash
# Builds the Debian package from the build folder and checks it as Debian and a user see it:
# lintian, its contents against `cmake --install`, a run from the unpacked tree, and (as root)
# a real install and removal with apt.
# Arguments: cmake, cpack, the build folder, the application id, the version.
set -euo pipefail
cmake=$1 cpack=$2 build=$3 id=$4 version=$5

work=$(mktemp -d /tmp/vexilo-package.XXXXXX)
fail() { echo "FAIL: $*" >&2; exit 1; }

# CPack installs through the build folder's install script, which rewrites its manifest: the
# user's own install keeps its list.
manifest=$build/install_manifest.txt
[ -f "$manifest" ] && cp -p "$manifest" "$work/manifest"
installed_by_test=""
cleanup() {
    status=$?
    if [ -n "$installed_by_test" ]; then
        DEBIAN_FRONTEND=noninteractive apt-get purge -y -qq vexilo >/dev/null 2>&1 || true
    fi
    if [ -f "$work/manifest" ]; then cp -p "$work/manifest" "$manifest"; else rm -f "$manifest"; fi
    rm -rf "$work"
    exit $status
}
trap cleanup EXIT

"$cpack" --config "$build/CPackConfig.cmake" -G DEB -B "$work/out" >"$work/cpack.log" 2>&1 \
    || { cat "$work/cpack.log" >&2; fail "cpack failed"; }
deb=$work/out/vexilo_${version}_$(dpkg --print-architecture).deb
[ -f "$deb" ] || fail "no $(basename "$deb"): $(ls "$work/out")"

field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = vexilo ] || fail "Package is '$(field Package)'"
[ "$(field Version)" = "$version" ] || fail "Version is '$(field Version)', not $version"
[ "$(field Section)" = graphics ] || fail "Section is '$(field Section)'"
[ -n "$(field Maintainer)" ] || fail "no Maintainer"
[ -n "$(field Homepage)" ] || fail "no Homepage"
# Computed by dpkg-shlibdeps from the programs: Qt and the C library at least.
depends=$(field Depends)
for lib in libc6 libqt6core6 libqt6gui6 libqt6widgets6 libgif7 libical3; do
    [[ "$depends" == *"$lib "* || "$depends" == *"$lib," || "$depends" == *"$lib" ]] \
        || fail "Depends lacks $lib: $depends"
done
[ "$(field Description | wc -l)" -gt 2 ] || fail "no long description"

# lintian: no errors and no warnings (the informational tags the README lists may stay).
lintian --tag-display-limit 0 "$deb" >"$work/lintian.log" 2>&1 || true
cat "$work/lintian.log"
if grep -E '^[EW]: ' "$work/lintian.log" >/dev/null; then fail "lintian reports errors or warnings"; fi
if grep -E 'no-manual-page|no-copyright-file|copyright-file-is-missing' "$work/lintian.log" >/dev/null; then
    fail "lintian misses a manual page or the copyright file"
fi

# The package holds exactly what `cmake --install` lays out under /usr.
dpkg-deb --contents "$deb" | awk '$1 !~ /^d/ {sub(/^\.\//, "/", $6); print $6}' | sort >"$work/deb.list"
DESTDIR="$work/staged" "$cmake" --install "$build" --prefix /usr >/dev/null
(cd "$work/staged" && find . ! -type d | sed 's|^\.||' | sort) >"$work/install.list"
diff -u "$work/install.list" "$work/deb.list" || fail "the package differs from cmake --install"
for f in /usr/bin/vexilo /usr/bin/vexilo-render /usr/bin/vexilo-glyphs \
         /usr/share/vexilo/Справка.html /usr/share/vexilo/Классика/0.gif \
         /usr/share/vexilo/Плакат/Вс.gif /usr/share/vexilo/Узкий/9.gif \
         "/usr/share/applications/$id.desktop" "/usr/share/metainfo/$id.metainfo.xml" \
         "/usr/share/icons/hicolor/48x48/apps/$id.png" /usr/share/doc/vexilo/copyright \
         /usr/share/man/man1/vexilo.1.gz /usr/share/man/man1/vexilo-render.1.gz \
         /usr/share/man/man1/vexilo-glyphs.1.gz /usr/libexec/vexilo/vexilo-svgloader; do
    grep -qxF "$f" "$work/deb.list" || fail "$f is not in the package"
done

# Unpacked anywhere, the programs find their shared folder beside their bin/.
home=$work/home
mkdir -p "$home"
user_env=(env -i HOME="$home" XDG_DATA_HOME="$home/data" XDG_CONFIG_HOME="$home/config"
          PATH=/usr/bin:/bin LC_ALL=C.UTF-8)
dpkg-deb -x "$deb" "$work/root"
"${user_env[@]}" "$work/root/usr/bin/vexilo-render" -y 2027 -o "$work/unpacked" >/dev/null
for row in 1 2 3; do
    [ -s "$work/unpacked_ряд$row.bmp" ] || fail "the unpacked vexilo-render wrote no row $row"
done
line=$("${user_env[@]}" "$work/root/usr/bin/vexilo" --version)
[ "$line" = "vexilo $version" ] || fail "unpacked vexilo --version printed '$line'"

if [ "$(id -u)" -ne 0 ]; then
    echo "not root: the install and removal with apt are skipped"
    exit 77
fi
if dpkg-query -W -f='${Status}' vexilo 2>/dev/null | grep -q "ok installed"; then
    echo "a vexilo package is installed on this machine: the install and removal with apt are skipped"
    exit 77
fi

export DEBIAN_FRONTEND=noninteractive
installed_by_test=yes
apt-get install -y -qq --no-install-recommends "$deb" >"$work/apt.log" 2>&1 \
    || { cat "$work/apt.log" >&2; fail "apt-get install failed"; }
"${user_env[@]}" /usr/bin/vexilo-render -y 2027 -m 3 -o "$work/apt" >/dev/null
[ -s "$work/apt.bmp" ] || fail "the installed vexilo-render wrote no sheet"

# The desktop file's Exec line starts the window, which runs until it is stopped.
exec_line=$(sed -n 's/^Exec=//p' "/usr/share/applications/$id.desktop")
[ -n "$exec_line" ] || fail "the desktop file has no Exec line"
read -r -a exec_words <<<"${exec_line//%[fFuU]/}"
[ "$(PATH=/usr/bin:/bin command -v "${exec_words[0]}")" = /usr/bin/vexilo ] \
    || fail "Exec=$exec_line does not start /usr/bin/vexilo"
mkdir -p "$home/run" && chmod 700 "$home/run"
status=0
"${user_env[@]}" XDG_RUNTIME_DIR="$home/run" QT_QPA_PLATFORM=offscreen \
    timeout 5 "${exec_words[@]}" 2>"$work/vexilo.err" || status=$?
[ "$status" -eq 124 ] || { cat "$work/vexilo.err" >&2; fail "Exec=$exec_line ended with $status"; }

apt-get purge -y -qq vexilo >"$work/apt.log" 2>&1 \
    || { cat "$work/apt.log" >&2; fail "apt-get purge failed"; }
installed_by_test=""
left=$(while read -r f; do [ ! -e "$f" ] || echo "$f"; done <"$work/deb.list")
[ -z "$left" ] || fail "left behind after removal: $left"
for dir in /usr/share/vexilo /usr/share/doc/vexilo; do
    [ ! -e "$dir" ] || fail "$dir is left after removal"
done
echo "package OK"
