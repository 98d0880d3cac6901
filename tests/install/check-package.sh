#!/bin/sh
# Checks a built Debian package as a user gets it: its control fields, lintian's verdict where
# lintian is installed (no error, and a manual page for every program), and the unpacked tree:
# the desktop files and manual pages, and the programs run from it with no library path set, so
# that they find the library through their own run path.
# Usage: tests/install/check-package.sh tarven_VERSION_ARCH.deb
set -eu
deb=$(realpath "$1")
source=$(cd "$(dirname "$0")/../.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "check-package: $*" >&2; exit 1; }

[ "$(dpkg-deb -f "$deb" Package)" = tarven ] || fail "$deb is not the package tarven"
for field in Version Maintainer Section Description Depends; do
    [ -n "$(dpkg-deb -f "$deb" "$field")" ] || fail "no $field field"
done
# Loaded at run time besides the linked libraries: the X11 platform plugin, the SVG plugins.
depends=$(dpkg-deb -f "$deb" Depends)
for package in libqt6gui6 libqt6svg6 libqt6widgets6 libqscintilla2-qt6-15; do
    echo "$depends" | grep -q "$package" || fail "Depends lacks $package: $depends"
done
if command -v lintian >/dev/null; then
    lintian --fail-on error "$deb" >"$work/lintian.txt" || { cat "$work/lintian.txt"; fail "lintian"; }
    cat "$work/lintian.txt"
    if grep -q "no-manual-page" "$work/lintian.txt"; then
        fail "lintian: a program has no manual page"
    fi
fi

dpkg-deb -x "$deb" "$work/root"
usr=$work/root/usr
python3 "$source/tests/install/check_desktop_files.py" "$usr"
echo "check-package: manual pages:" $(cd "$usr/share/man/man1" && ls)
unset LD_LIBRARY_PATH
ldd "$usr/bin/tslrun" | grep -q "libtslengine.so.0 => $usr/" ||
    fail "tslrun does not take the library beside it: $(ldd "$usr/bin/tslrun")"
"$usr/bin/tslrun" --check "$usr/share/doc/tarven/examples/hello.tsl"
"$usr/bin/tsltable" --help >/dev/null
"$usr/bin/tarven" --version
echo "check-package: ok"
