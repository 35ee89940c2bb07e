#!/bin/sh
# The Windows package: makes it from a Windows build into a folder of its own, then checks what a
# user unpacks: every delivered file, the programs' size, and that they import only DLLs that
# Windows ships (nothing of the compiler's or of this build).
#
#   check-zip.sh --build DIR --source DIR --version VERSION
set -eu
build=$2 source=$4 version=$6
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

zipfile=$(sh "$source/packaging/windows/make-zip.sh" --build "$build" --source "$source" \
          --version "$version" --output "$tmp")
name=velmora-$version-windows-x64
[ "$(basename "$zipfile")" = "$name.zip" ] || fail "the package is named $(basename "$zipfile")"
(cd "$tmp" && unzip -q "$zipfile")
for file in velmora.com conv.txt names.txt help.chm LICENSE README.txt; do
    [ -s "$tmp/$name/$file" ] || fail "$file is not in the package"
done
cmp -s "$tmp/$name/conv.txt" "$source/data/conv.txt" || fail "conv.txt is not the delivered one"
grep -q "MIT License" "$tmp/$name/LICENSE" || fail "LICENSE is not the MIT licence"
grep -q "$version" "$tmp/$name/README.txt" || fail "README.txt does not name version $version"

# DLLs every Windows 10 has (the system's own, in System32), in lower case.
system_dlls=" kernel32.dll user32.dll gdi32.dll comctl32.dll comdlg32.dll shell32.dll
 advapi32.dll msvcrt.dll ole32.dll oleaut32.dll uxtheme.dll shlwapi.dll winspool.drv
 version.dll imm32.dll dwmapi.dll shcore.dll bcrypt.dll ws2_32.dll uuid.dll hhctrl.ocx "
for program in "$tmp/$name"/velmora.exe "$tmp/$name"/velmora.com; do
    [ -f "$program" ] || continue
    size=$(wc -c <"$program")
    [ "$size" -lt 3145728 ] || fail "$(basename "$program") is $size bytes, 3 MB or more"
    dlls=$(x86_64-w64-mingw32-objdump -p "$program" | sed -n 's/^[[:space:]]*DLL Name: //p' |
           tr 'A-Z' 'a-z')
    [ -n "$dlls" ] || fail "no imports read from $(basename "$program")"
    for dll in $dlls; do
        case "$system_dlls" in
            *" $dll "*) ;;
            *) fail "$(basename "$program") imports $dll, which Windows does not ship" ;;
        esac
    done
    echo "$(basename "$program"): $size bytes, imports" $dlls
done
[ "$failures" -eq 0 ]
