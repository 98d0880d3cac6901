#!/bin/sh
# Installs a build tree into a fresh prefix and checks the result as a user would meet it:
# every installed program and library finds all its libraries, tslrun runs, the desktop finds
# the menu entry, file types, icon and manual, and a program of the user's own builds against
# the library with find_package(tslengine) and runs.
# Usage: tests/install/check-install.sh BUILD_DIR
set -eu
build=$(cd "$1" && pwd)
source=$(cd "$(dirname "$0")/../.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
prefix=$work/prefix

cmake --install "$build" --prefix "$prefix" >/dev/null

missing=0
for file in "$prefix"/bin/* "$prefix"/lib*/libtslengine.so*; do
    [ -f "$file" ] && [ ! -L "$file" ] || continue
    if ldd "$file" | grep -q "not found"; then
        echo "check-install: $file does not find all its libraries:" >&2
        ldd "$file" | grep "not found" >&2
        missing=1
    fi
done
[ "$missing" -eq 0 ]
for program in tarven tslrun tsltable tslsim tslbridge; do
    [ -x "$prefix/bin/$program" ] || { echo "check-install: $program is not installed" >&2; exit 1; }
done

"$prefix/bin/tslrun" --version
"$prefix/bin/tsltable" --help >/dev/null
"$prefix/bin/tslsim" --help >/dev/null
"$prefix/bin/tslbridge" --help >/dev/null
python3 "$source/tests/install/check_desktop_files.py" "$prefix"

cmake -S "$source/tests/install/consumer" -B "$work/consumer" -G Ninja \
    -DCMAKE_PREFIX_PATH="$prefix" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$work/consumer" >/dev/null
"$work/consumer/consumer" "$source/examples/hello.tsl"
echo "check-install: ok"
