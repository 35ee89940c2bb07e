#!/bin/sh
# Makes velmora-VERSION-windows-x64.zip from a Windows build: the programs the build made
# (velmora.exe, the window, and velmora.com, the command line), the delivered conv.txt, names.txt
# and help.chm, LICENSE and README.txt, in one folder of that name.
#
#   make-zip.sh --build DIR --source DIR --version VERSION [--output FOLDER] [--full]
#
# --full: the package a user gets, so velmora.exe must be there; without it a package of the
# programs that were built (the command line alone, say) is made all the same.
set -eu

build= source= version= output= full=no
while [ $# -gt 0 ]; do
    case $1 in
        --build) build=$2; shift 2 ;;
        --source) source=$2; shift 2 ;;
        --version) version=$2; shift 2 ;;
        --output) output=$2; shift 2 ;;
        --full) full=yes; shift ;;
        *) echo "make-zip.sh: unknown argument $1" >&2; exit 2 ;;
    esac
done
[ -n "$build" ] && [ -n "$source" ] && [ -n "$version" ] || {
    echo "usage: make-zip.sh --build DIR --source DIR --version VERSION [--output FOLDER] [--full]" >&2
    exit 2
}
output=${output:-$build}

fail() { echo "make-zip.sh: $*" >&2; exit 1; }
[ -f "$build/velmora.com" ] || fail "$build/velmora.com is missing: build the Windows programs first"
if [ ! -f "$build/velmora.exe" ]; then
    [ "$full" = no ] || fail "$build/velmora.exe is missing: the full package needs the window"
    echo "make-zip.sh: no velmora.exe in $build; the package holds the command line only" >&2
fi
[ -f "$build/help.chm" ] || fail "$build/help.chm is missing: build the target velmora_help"
command -v zip >/dev/null || fail "zip is missing (Debian package zip)"

name=velmora-$version-windows-x64
stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
mkdir "$stage/$name"
for program in velmora.exe velmora.com; do
    [ -f "$build/$program" ] && cp "$build/$program" "$stage/$name/"
done
cp "$source/data/conv.txt" "$source/data/names.txt" "$build/help.chm" "$stage/$name/"
# Windows' own editors show either line end; these two get Windows' own.
sed 's/\r*$/\r/' "$source/LICENSE" >"$stage/$name/LICENSE"
sed -e "s/@VERSION@/$version/g" -e 's/\r*$/\r/' "$source/packaging/windows/README.txt" \
    >"$stage/$name/README.txt"

mkdir -p "$output"
zipfile=$(cd "$output" && pwd)/$name.zip
rm -f "$zipfile"
# Without extra attributes (owners, Unix times); with SOURCE_DATE_EPOCH, the same files give the
# same bytes.
if [ -n "${SOURCE_DATE_EPOCH:-}" ]; then
    find "$stage/$name" -exec touch -d "@$SOURCE_DATE_EPOCH" {} +
fi
(cd "$stage" && TZ=UTC zip -q -X -r "$zipfile" "$name")
echo "$zipfile"
