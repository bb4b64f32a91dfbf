#!/bin/sh
# Regenerates the pinyin dictionary of the import from the Unihan readings (Debian package
# unicode-data), or checks that the committed one is current.
#
#   regenerate.sh GENERATOR OUTPUT           write the tables to OUTPUT
#   regenerate.sh --check GENERATOR COMMITTED  fail when COMMITTED differs from a fresh output
#
# UNIHAN_READINGS names the readings file (plain text or .bz2); by default the one of the
# unicode-data package.
set -eu

check=false
if [ "${1:-}" = "--check" ]; then
    check=true
    shift
fi
if [ $# -ne 2 ]; then
    echo "usage: $0 [--check] GENERATOR OUTPUT" >&2
    exit 2
fi
generator=$1
target=$2

readings=${UNIHAN_READINGS:-}
if [ -z "$readings" ]; then
    for candidate in /usr/share/unicode/Unihan_Readings.txt.bz2 /usr/share/unicode/Unihan_Readings.txt; do
        if [ -f "$candidate" ]; then
            readings=$candidate
            break
        fi
    done
fi
if [ -z "$readings" ] || [ ! -f "$readings" ]; then
    echo "$0: Unihan_Readings.txt not found; install unicode-data or set UNIHAN_READINGS" >&2
    exit 1
fi

fresh=$(mktemp)
trap 'rm -f "$fresh"' EXIT
case "$readings" in
    *.bz2) bzcat "$readings" | "$generator" >"$fresh" ;;
    *) "$generator" <"$readings" >"$fresh" ;;
esac

if $check; then
    if ! cmp -s "$fresh" "$target"; then
        echo "$target is not what the generator makes from $readings; build regenerate_pinyin_table" >&2
        exit 1
    fi
else
    cp "$fresh" "$target"
fi
