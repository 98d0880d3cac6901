#!/bin/sh
# Makes the gzipped manual page of one program with help2man, from the program's own --help and
# --version, named after its file (tarven's --version calls it "TARVEN").
# Usage: make-page.sh PROGRAM DESCRIPTION INCLUDE OUTPUT.1.gz
set -eu
program=$1
description=$2
include=$3
output=$4
name=$(basename "$program")
version=$("$program" --version | sed -n '1s/.* //p')
[ -n "$version" ] || { echo "make-page: $program --version names no version" >&2; exit 1; }
page=${output%.gz}
"${HELP2MAN:-help2man}" --no-info --no-discard-stderr --section=1 --name="$description" \
    --include="$include" --version-string="$name $version" --output="$page" "$program"
gzip -9nf "$page"
