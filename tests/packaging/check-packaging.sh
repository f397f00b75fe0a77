#!/bin/sh
# Catches a launcher or metainfo file the freedesktop checkers refuse, files that disagree on the
# application id or the release, an installed tree that misses a file, holds a stray one or does
# not run on its own, and manual pages that miss an option, a command or format with warnings.
#
# check-packaging.sh CHECK SOURCE_DIR [ARGS]; exit 0 passed, 1 failed, 77 skipped (tool missing).
#   desktop | metainfo                     the freedesktop checkers
#   ids                                    one application id everywhere
#   versions VERSION                       every file names the release CMake builds
#   install CMAKE BUILD_DIR LIBDIR          `cmake --install` into a fresh prefix
#   man EDITOR CLI                         the manual pages against the programs' --help
set -u
check=$1 src=$2
shift 2
fail=0
no() { echo "FAIL: $*"; fail=1; }
id=$(sed -n 's/.*kAppId\[\] = "\([^"]*\)".*/\1/p' "$src/src/app/DesktopEntry.h")
[ -n "$id" ] || { echo "FAIL: no application id in src/app/DesktopEntry.h"; exit 1; }
desktop=$src/res/desktop/$id.desktop
metainfo=$src/res/metainfo/$id.metainfo.xml

# Runs a checker on a file; any line of complaint counts, hints and warnings too.
checker() {
    tool=$1
    shift
    command -v "$tool" >/dev/null || { echo "$tool is not installed (scripts/install-deps package)"; exit 77; }
    out=$("$tool" "$@" 2>&1) || no "$tool $*: $out"
    if printf '%s\n' "$out" | grep -Eq '^(E|W|I):|(error|warning|hint):'; then no "$tool $*: $out"; fi
}

case $check in
desktop) checker desktop-file-validate "$desktop" ;;
metainfo) checker appstreamcli validate --no-net "$metainfo" ;;
ids)
    for line in Type=Application "Icon=$id" Exec=qxpan; do
        grep -qx "$line" "$desktop" || no "$desktop lacks $line"
    done
    for element in "<id>$id</id>" "<launchable type=\"desktop-id\">$id.desktop</launchable>" \
        "<icon type=\"stock\">$id</icon>"; do
        [ "$(grep -cF "$element" "$metainfo")" = 1 ] || no "$metainfo lacks one $element"
    done
    binaries=$(sed -n 's/.*<binary>\(.*\)<\/binary>.*/\1/p' "$metainfo" | tr '\n' ' ')
    [ "$binaries" = "qxpan qxpan-cli " ] || no "$metainfo names the binaries '$binaries'"
    ;;
versions)
    version=$1
    # The newest release comes first in the metainfo and the change log.
    [ "$(sed -n 's/.*<release version="\([^"]*\)".*/\1/p' "$metainfo" | head -n 1)" = "$version" ] ||
        no "metainfo's newest release is not $version"
    [ "$(sed -n '1s/^qxpan (\([^)]*\)).*/\1/p' "$src/docs/changelog")" = "$version" ] ||
        no "docs/changelog does not start with $version"
    for page in qxpan.1 qxpan-cli.1; do
        grep -q "^\.TH .* \"QXPan $version\"" "$src/docs/$page" || no "docs/$page is not $version"
    done
    ;;
install)
    cmake=$1 build=$2 libdir=$3
    prefix=$(mktemp -d) || exit 1
    trap 'rm -rf "$prefix"' EXIT
    "$cmake" --install "$build" --prefix "$prefix" >/dev/null || no "cmake --install failed"
    expected="bin/qxpan
bin/qxpan-cli
$libdir/qxpan/qxpan-cli-commands.so
share/applications/$id.desktop
share/doc/qxpan/changelog.gz
share/doc/qxpan/copyright
share/icons/hicolor/128x128/apps/$id.png
share/icons/hicolor/48x48/apps/$id.png
share/icons/hicolor/scalable/apps/$id.svg
share/man/man1/qxpan-cli.1.gz
share/man/man1/qxpan.1.gz
share/metainfo/$id.metainfo.xml"
    found=$(cd "$prefix" && find . -type f | sed 's|^\./||' | LC_ALL=C sort)
    [ "$found" = "$(printf '%s\n' "$expected" | LC_ALL=C sort)" ] ||
        no "installed files differ:$(printf '\n%s' "$found")"
    # The installed programs run on their own, away from the build tree (qxpan-cli's --help goes
    # through its installed command module).
    for program in qxpan qxpan-cli; do
        QT_QPA_PLATFORM=offscreen "$prefix/bin/$program" --help 2>&1 | grep -q "$program" ||
            no "installed $program --help"
    done
    cmp -s "$prefix/share/applications/$id.desktop" "$desktop" || no "installed launcher differs"
    cmp -s "$prefix/share/metainfo/$id.metainfo.xml" "$metainfo" || no "installed metainfo differs"
    cmp -s "$prefix/share/doc/qxpan/copyright" "$src/docs/copyright" || no "copyright differs"
    for pair in "share/man/man1/qxpan.1.gz docs/qxpan.1" "share/man/man1/qxpan-cli.1.gz docs/qxpan-cli.1" \
        "share/doc/qxpan/changelog.gz docs/changelog"; do
        set -- $pair
        gzip -dc "$prefix/$1" | cmp -s - "$src/$2" || no "$1 does not unpack to $2"
    done
    for size in 48 128; do
        # PNG signature, then the IHDR width and height as 32-bit big-endian numbers.
        head=$(od -An -tx1 -N24 "$prefix/share/icons/hicolor/${size}x$size/apps/$id.png" | tr -d ' \n')
        hex=$(printf '%08x' "$size")
        [ "$head" = "89504e470d0a1a0a0000000d49484452$hex$hex" ] || no "icon $size is not a ${size}px PNG"
    done
    grep -q "<svg" "$prefix/share/icons/hicolor/scalable/apps/$id.svg" || no "scalable icon is not SVG"
    [ "$(head -c 4 "$prefix/$libdir/qxpan/qxpan-cli-commands.so" | od -An -c | tr -d ' ')" = '177ELF' ] ||
        no "the command module is not a shared object"
    ;;
man)
    editor=$1 cli=$2
    export QT_QPA_PLATFORM=offscreen
    # The page as plain text: font changes dropped, escaped minus signs plain.
    text() { sed -e 's/\\f[BIRP]//g' -e 's/\\-/-/g' "$src/docs/$1"; }
    help=$("$editor" --help) || no "qxpan --help"
    clihelp=$("$cli" --help) || no "qxpan-cli --help"
    for command in $(printf '%s\n' "$clihelp" | sed -n 's/^  \([a-z][a-z]*\) .*/\1/p'); do
        clihelp="$clihelp
$("$cli" "$command" --help)" || no "qxpan-cli $command --help"
    done
    for pair in "qxpan.1 help" "qxpan-cli.1 clihelp"; do
        set -- $pair
        eval "programhelp=\$$2"
        options=$(printf '%s\n' "$programhelp" | grep -oE '(^|[^a-z-])--[a-z][a-z-]*' | sed 's/^[^-]*//' | sort -u)
        [ "$(printf '%s\n' "$options" | grep -c .)" -ge 2 ] || no "$1: fewer than two options in --help"
        for option in $options; do
            text "$1" | grep -q -e "$option" || no "docs/$1 does not name $option"
        done
        if command -v groff >/dev/null; then
            out=$(groff -man -ww -z -Tutf8 "$src/docs/$1" 2>&1) && [ -z "$out" ] || no "groff on $1: $out"
        fi
    done
    # Every command the tool lists has its own subsection, titled with the tool's own synopsis.
    synopses=$("$cli" --help | sed -n 's/^  \([^ ].*\)$/\1/p' | sed 's/[[:space:]]*$//')
    subsections=$(text qxpan-cli.1 | sed -n 's/^\.SS "\(.*\)"$/\1/p')
    [ "$synopses" = "$subsections" ] || no "qxpan-cli.1 subsections differ from --help: $subsections"
    ;;
*) echo "unknown check $check"; exit 2 ;;
esac
exit $fail
