#!/bin/sh
# Installs a build into a temporary prefix and checks what lands where, then runs the installed
# launcher, with a stand-in in place of the program, to check how it prepares the data folder.
#
# Usage: check_install.sh --cmake CMAKE --build DIR [--config CONFIG] --source DIR --help-chm FILE
#                         --bindir DIR --libexecdir DIR --datadir DIR --mandir DIR
#                         --appstream-id ID --version VERSION
# The four install folders are relative to the prefix, as GNUInstallDirs gives them. The entry,
# metainfo and changelog checks need desktop-file-validate, appstreamcli and dpkg-parsechangelog
# (Debian desktop-file-utils, appstream, dpkg-dev: scripts/deps.sh installs them).
set -eu

cmake=cmake build= config= source= help_chm= bindir= libexecdir= datadir= mandir= appstream_id= version=
while [ $# -gt 0 ]; do
    [ $# -ge 2 ] || { echo "check_install: $1 needs a value" >&2; exit 2; }
    case $1 in
        --cmake) cmake=$2 ;;
        --build) build=$2 ;;
        --config) config=$2 ;;
        --source) source=$2 ;;
        --help-chm) help_chm=$2 ;;
        --bindir) bindir=$2 ;;
        --libexecdir) libexecdir=$2 ;;
        --datadir) datadir=$2 ;;
        --mandir) mandir=$2 ;;
        --appstream-id) appstream_id=$2 ;;
        --version) version=$2 ;;
        *) echo "check_install: unknown option $1" >&2; exit 2 ;;
    esac
    shift 2
done
for value in "$build" "$source" "$help_chm" "$bindir" "$libexecdir" "$datadir" "$mandir" \
             "$appstream_id" "$version"; do
    [ -n "$value" ] || { echo "check_install: an option is missing; see the usage at the top" >&2; exit 2; }
done
for value in "$bindir" "$libexecdir" "$datadir" "$mandir"; do
    # An absolute folder would be installed outside the temporary prefix, into the real system.
    case $value in /*) echo "check_install: $value is absolute; this check needs folders relative to the prefix" >&2; exit 2 ;; esac
done

failures=0
pass() { printf 'ok:   %s\n' "$*"; }
fail() { printf 'FAIL: %s\n' "$*"; failures=$((failures + 1)); }
# check DESCRIPTION COMMAND...: runs the command and counts a failure when it fails.
check() {
    description=$1
    shift
    if "$@"; then pass "$description"; else fail "$description"; fi
}

tmp=$(mktemp -d "${TMPDIR:-/tmp}/velmora-install.XXXXXX")
trap 'rm -rf "$tmp"' EXIT
trap 'exit 1' HUP INT TERM

# Blanks in the paths catch a launcher that forgets its quotes. The prefix differs from the
# configured one, so the launcher must find everything relative to itself.
prefix="$tmp/pre fix"
unset DESTDIR
if [ -n "$config" ]; then
    "$cmake" --install "$build" --prefix "$prefix" --config "$config" >"$tmp/install.log" 2>&1 || install_status=$?
else
    "$cmake" --install "$build" --prefix "$prefix" >"$tmp/install.log" 2>&1 || install_status=$?
fi
if [ "${install_status:-0}" -ne 0 ]; then
    cat "$tmp/install.log"
    echo "FAIL: cmake --install exited with ${install_status}"
    exit 1
fi

program="$prefix/$libexecdir/velmora/velmora"
launcher="$prefix/$bindir/velmora"
shared="$prefix/$datadir/velmora"
desktop="$prefix/$datadir/applications/velmora.desktop"
icons="$prefix/$datadir/icons/hicolor"
man="$prefix/$mandir/man1"
doc="$prefix/$datadir/doc/velmora"
metainfo="$prefix/$datadir/metainfo/$appstream_id.metainfo.xml"

# --- What is installed, and nothing else

{
    echo "$libexecdir/velmora/velmora"
    echo "$libexecdir/velmora/libvelmora_print.so"
    echo "$bindir/velmora"
    echo "$datadir/velmora/conv.txt"
    echo "$datadir/velmora/help.chm"
    echo "$datadir/applications/velmora.desktop"
    echo "$datadir/metainfo/$appstream_id.metainfo.xml"
    echo "$datadir/doc/velmora/copyright"
    echo "$datadir/lintian/overrides/velmora"
    if [ -e "$doc/changelog.gz" ]; then echo "$datadir/doc/velmora/changelog.gz"; else echo "$datadir/doc/velmora/changelog"; fi
    for size in 16 32 48 128 256; do echo "$datadir/icons/hicolor/${size}x$size/apps/velmora.png"; done
    echo "$datadir/icons/hicolor/scalable/apps/velmora.svg"
    if [ -e "$man/velmora.1.gz" ]; then echo "$mandir/man1/velmora.1.gz"; else echo "$mandir/man1/velmora.1"; fi
} | LC_ALL=C sort >"$tmp/expected-files"
(cd "$prefix" && find . ! -type d | sed 's|^\./||' | LC_ALL=C sort) >"$tmp/installed-files"
if cmp -s "$tmp/expected-files" "$tmp/installed-files"; then
    pass "the installation holds exactly the expected files"
else
    fail "the installed files differ from the expected ones (< expected, > installed):"
    diff "$tmp/expected-files" "$tmp/installed-files" || true
fi

# --- The program and the launcher

magic() { od -An -tx1 -N"$2" "$1" 2>/dev/null | tr -d ' \n'; }
check "the program is installed executable" test -f "$program" -a -x "$program"
check "the program is an ELF executable" test "$(magic "$program" 4)" = 7f454c46
check "the print plugin is an ELF file beside the program" \
    test "$(magic "$prefix/$libexecdir/velmora/libvelmora_print.so" 4)" = 7f454c46
check "the launcher is installed executable" test -f "$launcher" -a -x "$launcher"
check "the launcher is a POSIX sh script" test "$(head -n 1 "$launcher" 2>/dev/null)" = "#!/bin/sh"
check "the launcher parses" sh -n "$launcher"
check "the launcher has every placeholder filled in" sh -c '! grep -q "@[A-Z_]*@" "$1"' sh "$launcher"

# --- The delivered files

check "conv.txt is the delivered catalog data/conv.txt" cmp -s "$shared/conv.txt" "$source/data/conv.txt"
check "help.chm is the built help file" cmp -s "$shared/help.chm" "$help_chm"
check "help.chm is a compiled help file (ITSF header)" test "$(magic "$shared/help.chm" 4)" = 49545346

# --- The desktop entry

entry_has() { grep -qx "$1" "$desktop"; }
check "the desktop entry starts with its group header" test "$(head -n 1 "$desktop" 2>/dev/null)" = "[Desktop Entry]"
for line in "Type=Application" "Name=Velmora" "Comment=Convert between units of measurement" \
            "Exec=velmora" "Icon=velmora" "Terminal=false" "Categories=Utility;Calculator;Qt;"; do
    check "the desktop entry says $line" entry_has "$line"
done
# Every line is a comment, a group header or a key=value pair, and no key appears twice.
check "every line of the desktop entry is well formed" \
    sh -c '! grep -vqE "^(#.*|\[[^][]+\]|[A-Za-z0-9-]+(\[[^]]+\])?=.*|)$" "$1"' sh "$desktop"
check "no key of the desktop entry appears twice" \
    sh -c 'test -z "$(grep -E "^[A-Za-z0-9-]" "$1" | cut -d= -f1 | sort | uniq -d)"' sh "$desktop"
# validate DESCRIPTION TOOL COMMAND...: check, where a missing TOOL is a failure, never a skip.
validate() {
    description=$1 tool=$2
    shift 2
    if command -v "$tool" >/dev/null 2>&1; then
        check "$description" "$@"
    else
        fail "$description: $tool is not installed (run scripts/deps.sh)"
    fi
}
validate "desktop-file-validate accepts the desktop entry" desktop-file-validate \
    desktop-file-validate "$desktop"

# --- The AppStream metainfo

validate "appstreamcli accepts the metainfo" appstreamcli appstreamcli validate --no-net "$metainfo"
meta_has() { grep -q "$1" "$metainfo"; }
for pattern in "<id>$appstream_id</id>" "<summary>[^<]" "<description>" \
               "<screenshot type=\"default\">" "<image>https://" "<content_rating type=\"oars-" \
               "<release version=\"$version\" date=\"[0-9-]*\"" \
               "<launchable type=\"desktop-id\">velmora.desktop</launchable>"; do
    check "the metainfo holds $pattern" meta_has "$pattern"
done

# --- The copyright and the changelog

check "the copyright file is the one in packaging" cmp -s "$doc/copyright" "$source/packaging/copyright"
check "the copyright file is in the machine-readable format" \
    test "$(head -n 1 "$doc/copyright" 2>/dev/null)" = "Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/"
for field in Files Copyright License; do
    check "the copyright file has a $field field" grep -q "^$field: ." "$doc/copyright"
done
# Every line is a field, a continuation (a blank first, "." for an empty line) or a blank line.
check "every line of the copyright file is well formed" \
    sh -c '! grep -vqE "^([A-Za-z][A-Za-z-]*:( .*)?| .+|)$" "$1"' sh "$doc/copyright"
if [ -e "$doc/changelog.gz" ]; then
    check "the changelog is a valid gzip file" gzip -t "$doc/changelog.gz"
    gzip -dc "$doc/changelog.gz" >"$tmp/changelog" 2>/dev/null || true
else
    cp "$doc/changelog" "$tmp/changelog" 2>/dev/null || true
fi
check "the changelog is the one in packaging" cmp -s "$tmp/changelog" "$source/packaging/changelog"
changelog_version() { dpkg-parsechangelog -l "$tmp/changelog" -S Version 2>/dev/null; }
validate "the changelog parses and its latest entry is version $version" dpkg-parsechangelog \
    test "$(changelog_version)" = "$version"

# --- The icons

png_size() {
    # The IHDR chunk holds the width and the height as big-endian 32-bit numbers at bytes 16 to 23.
    od -An -tu1 -j16 -N8 "$1" 2>/dev/null |
        awk '{ printf "%dx%d", (($1*256+$2)*256+$3)*256+$4, (($5*256+$6)*256+$7)*256+$8 }'
}
for size in 16 32 48 128 256; do
    icon="$icons/${size}x$size/apps/velmora.png"
    check "the ${size}x$size icon is a PNG" test "$(magic "$icon" 8)" = 89504e470d0a1a0a
    check "the ${size}x$size icon is ${size}x$size pixels" test "$(png_size "$icon")" = "${size}x$size"
done
check "the scalable icon is the SVG from resources" cmp -s "$icons/scalable/apps/velmora.svg" "$source/resources/velmora.svg"

# --- The man page

if [ -e "$man/velmora.1.gz" ]; then
    check "the man page is a valid gzip file" gzip -t "$man/velmora.1.gz"
    gzip -dc "$man/velmora.1.gz" >"$tmp/velmora.1" 2>/dev/null || true
else
    cp "$man/velmora.1" "$tmp/velmora.1" 2>/dev/null || true
fi
check "the man page has its title line" grep -q '^\.TH VELMORA 1 ' "$tmp/velmora.1"
check "the man page has every placeholder filled in" sh -c '! grep -q "@[A-Z_]*@" "$1"' sh "$tmp/velmora.1"
check "the man page has its date" grep -qE '^\.TH VELMORA 1 "[0-9]{4}-[0-9]{2}-[0-9]{2}" "Velmora '"$version"'"' "$tmp/velmora.1"
for section in HELP FILES; do
    check "the man page has the section $section" grep -qx "\.SH $section" "$tmp/velmora.1"
done
for name in conv.txt conv.ini help.chm "Velmora Help"; do
    check "the man page describes $name" grep -q "$name" "$tmp/velmora.1"
done

# --- The launcher at work
#
# The stand-in records the folder it was started in and its arguments, one a line, and exits with
# the status it is asked for, so the launcher's whole path up to the program is exercised.

rm -f "$program"
cat >"$program" <<'EOF'
#!/bin/sh
{ pwd -P; for argument in "$@"; do printf '%s\n' "$argument"; done; } >"$VELMORA_TEST_RECORD"
printf '%s\n' "${VELMORA_CALLER_DIR-unset}" >"$VELMORA_TEST_RECORD.caller"
exit "${VELMORA_TEST_STATUS:-0}"
EOF
chmod 755 "$program"

record="$tmp/record"
home="$tmp/home with blanks"
mkdir -p "$home" "$tmp/cwd"
# run_launcher OUT ERR COMMAND...: runs in a neutral folder, keeps the status in $status.
run_launcher() {
    out=$1 err=$2
    shift 2
    rm -f "$record"
    status=0
    (cd "$tmp/cwd" && VELMORA_TEST_RECORD="$record" "$@") >"$out" 2>"$err" || status=$?
}
real() { (cd "$1" 2>/dev/null && pwd -P); }

# First start: the folder is made and seeded, and the program starts in it with the arguments.
folder="$home/.local/share/velmora"
run_launcher "$tmp/out1" "$tmp/err1" env HOME="$home" XDG_DATA_HOME= "$launcher" "first argument" --second ""
check "the first start succeeds" test "$status" -eq 0
check "the first start creates ~/.local/share/velmora" test -d "$folder"
check "the first start copies the delivered conv.txt" cmp -s "$folder/conv.txt" "$source/data/conv.txt"
check "the first start copies the delivered help.chm" cmp -s "$folder/help.chm" "$help_chm"
check "the first start leaves no temporary files" \
    test "$(cd "$folder" && find . ! -name . | LC_ALL=C sort | tr '\n' ' ')" = "./conv.txt ./help.chm "
printf '%s\n' "$(real "$folder")" "first argument" --second "" >"$tmp/expected-record"
check "the program runs in the data folder with the arguments unchanged" cmp -s "$record" "$tmp/expected-record"
check "the program is told the folder the launcher was started in" \
    test "$(cat "$record.caller" 2>/dev/null)" = "$tmp/cwd"

# Second start: the user's catalog and settings stay; only a missing delivered file comes back.
printf 'a line of the user own\n' >>"$folder/conv.txt"
cp "$folder/conv.txt" "$tmp/user-conv.txt"
printf '3' >"$folder/conv.ini"
rm -f "$folder/help.chm"
run_launcher "$tmp/out2" "$tmp/err2" env HOME="$home" XDG_DATA_HOME= "$launcher"
check "the second start succeeds" test "$status" -eq 0
check "the second start keeps the user's conv.txt" cmp -s "$folder/conv.txt" "$tmp/user-conv.txt"
check "the second start keeps conv.ini" test "$(cat "$folder/conv.ini")" = 3
check "the second start puts a missing help.chm back" cmp -s "$folder/help.chm" "$help_chm"
check "the second start runs the program in the data folder" test "$(head -n 1 "$record" 2>/dev/null)" = "$(real "$folder")"

# XDG_DATA_HOME, when absolute, chooses the base folder.
xdg="$tmp/xdg data"
run_launcher "$tmp/out3" "$tmp/err3" env HOME="$home" XDG_DATA_HOME="$xdg" "$launcher"
check "an absolute XDG_DATA_HOME is used" test "$status" -eq 0 -a -f "$xdg/velmora/conv.txt" -a -f "$xdg/velmora/help.chm"
check "the program runs in \$XDG_DATA_HOME/velmora" test "$(head -n 1 "$record" 2>/dev/null)" = "$(real "$xdg/velmora")"

# A relative XDG_DATA_HOME is invalid and must not scatter folders into the current one.
run_launcher "$tmp/out4" "$tmp/err4" env HOME="$home" XDG_DATA_HOME=relative "$launcher"
check "a relative XDG_DATA_HOME is ignored" test "$status" -eq 0 -a ! -e "$tmp/cwd/relative"
check "with a relative XDG_DATA_HOME the program runs in ~/.local/share/velmora" \
    test "$(head -n 1 "$record" 2>/dev/null)" = "$(real "$folder")"

# The desktop entry runs "velmora" through the PATH.
run_launcher "$tmp/out5" "$tmp/err5" env HOME="$home" XDG_DATA_HOME= PATH="$prefix/$bindir:$PATH" velmora
check "the launcher works when found through the PATH" test "$status" -eq 0 -a "$(head -n 1 "$record" 2>/dev/null)" = "$(real "$folder")"

# A link to the launcher elsewhere still finds the installation.
mkdir -p "$tmp/links"
ln -s "$launcher" "$tmp/links/velmora"
run_launcher "$tmp/out6" "$tmp/err6" env HOME="$home" XDG_DATA_HOME= "$tmp/links/velmora"
check "the launcher works through a symbolic link" test "$status" -eq 0 -a "$(head -n 1 "$record" 2>/dev/null)" = "$(real "$folder")"

# The program replaces the launcher, so its exit status is the launcher's.
run_launcher "$tmp/out7" "$tmp/err7" env HOME="$home" XDG_DATA_HOME= VELMORA_TEST_STATUS=7 "$launcher"
check "the program's exit status comes back from the launcher" test "$status" -eq 7

# A data folder that cannot be created: an error on stderr, a failure status, no program.
: >"$tmp/blocker"
run_launcher "$tmp/out8" "$tmp/err8" env HOME="$home" XDG_DATA_HOME="$tmp/blocker" "$launcher"
check "an impossible data folder makes the launcher fail" test "$status" -ne 0
check "an impossible data folder is reported on stderr" grep -q "velmora: .*$tmp/blocker/velmora" "$tmp/err8"
check "an impossible data folder does not start the program" test ! -e "$record"

# Without HOME and XDG_DATA_HOME there is no folder to use.
run_launcher "$tmp/out9" "$tmp/err9" env -i PATH="$PATH" "$launcher"
check "without HOME the launcher fails" test "$status" -ne 0 -a ! -e "$record"
check "without HOME the launcher says why on stderr" grep -q "velmora: .*HOME" "$tmp/err9"

if [ "$failures" -ne 0 ]; then
    echo "$failures check(s) failed"
    exit 1
fi
echo "all checks passed"
