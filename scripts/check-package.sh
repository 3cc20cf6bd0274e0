#!/usr/bin/env bash
# Builds the Debian package (build/zembra_<version>_<arch>.deb) and checks it as a user's
# machine takes it: the files it must hold, its dependencies, the desktop entry, the AppStream
# file, Debian policy (lintian), the manual pages, the file type, the maintainer script, and the
# programs started from an unpacked copy. Uses build/, configured as ./test configures it, so
# after ./test only the package itself is made.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
"$here/scripts/setup.sh" --packaging

build="$here/build"
cmake -S "$here" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZEMBRA_WERROR=ON >/dev/null
rm -f "$build"/zembra_*.deb
cmake --build "$build" -j "$(nproc)" --target package
debs=("$build"/zembra_*.deb)
if [ ${#debs[@]} -ne 1 ] || [ ! -f "${debs[0]}" ]; then
    echo "check-package: expected one build/zembra_*.deb, found: ${debs[*]}" >&2
    exit 1
fi
deb="${debs[0]}"

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
root="$work/root"
dpkg-deb -x "$deb" "$root"
dpkg-deb -e "$deb" "$work/control"
version="$(dpkg-deb -f "$deb" Version)"

failures=0
fail() {
    echo "check-package: FAILED: $*" >&2
    failures=$((failures + 1))
}
step() { echo "== $*"; }

step "files in $(basename "$deb")"
metainfo=("$root"/usr/share/metainfo/*.metainfo.xml)
expected=(
    usr/bin/zembra usr/bin/zembractl
    usr/share/zembra/TipsPL.lng usr/share/zembra/TipsEN.lng usr/share/zembra/TipsGER.lng
    usr/share/applications/org.brelko.Zembra.desktop
    usr/share/mime/packages/zembra.xml
    usr/share/icons/hicolor/scalable/apps/zembra.svg
    usr/share/icons/hicolor/scalable/mimetypes/application-x-zembra.svg
    "${metainfo[0]#"$root/"}"
    usr/share/man/man1/zembra.1.gz usr/share/man/man1/zembractl.1.gz
    usr/share/doc/zembra/copyright usr/share/doc/zembra/changelog.gz
)
for size in 16 22 24 32 48 64 128 256; do
    expected+=("usr/share/icons/hicolor/${size}x${size}/apps/zembra.png"
               "usr/share/icons/hicolor/${size}x${size}/mimetypes/application-x-zembra.png")
done
[ ${#metainfo[@]} -eq 1 ] && [ -f "${metainfo[0]}" ] || fail "expected one AppStream metainfo file"
for file in "${expected[@]}"; do
    [ -f "$root/$file" ] || fail "the package lacks /$file"
done
for program in zembra zembractl; do
    [ -x "$root/usr/bin/$program" ] || fail "/usr/bin/$program is not executable"
done
[ -x "$work/control/postinst" ] || fail "the package has no executable postinst"
echo "${#expected[@]} files present"

step "dependencies"
depends="$(dpkg-deb -f "$deb" Depends)"
echo "Depends: $depends"
has_dependency() { grep -Eq "(^|, )$1( \(|,|$)" <<<"$depends"; }
# Plugins that Qt loads at run time: the window and tray (xcb), sound (GStreamer back end), the
# SVG tray and window icons. Their packages must be named, whoever names them.
for plugin in platforms/libqxcb.so multimedia/libgstreamermediaplugin.so \
              iconengines/libqsvgicon.so imageformats/libqsvg.so; do
    owner="$(dpkg -S "*/qt6/plugins/$plugin" | head -n 1 | cut -d: -f1)"
    has_dependency "$owner" || fail "Depends lacks $owner, which holds the Qt plugin $plugin"
done
for package in gstreamer1.0-plugins-base gstreamer1.0-plugins-good libcap2-bin; do
    has_dependency "$package" || fail "Depends lacks $package"
done

step "desktop entry"
if ! output="$(desktop-file-validate "$root/usr/share/applications/org.brelko.Zembra.desktop" 2>&1)" \
    || [ -n "$output" ]; then
    echo "$output"
    fail "desktop-file-validate"
fi

step "AppStream metainfo"
appstreamcli validate --no-net "${metainfo[0]}" || fail "appstreamcli validate"

step "lintian"
lintian --fail-on error,warning --display-info "$deb" || fail "lintian found errors or warnings"

step "manual pages"
# Every option and command the programs offer must be in their page, and the page must name
# the packaged version.
export XDG_RUNTIME_DIR="$work/runtime" XDG_CONFIG_HOME="$work/config"
mkdir -m 700 "$XDG_RUNTIME_DIR"
zembra_help="$(QT_QPA_PLATFORM=offscreen "$root/usr/bin/zembra" --help)"
zembractl_help="$("$root/usr/bin/zembractl" --help)"
commands="$(sed -n 's/^  \([a-z][a-z]*\)\( .*\)\{0,1\}$/\1/p' <<<"$zembractl_help")"
for command in $commands; do
    zembractl_help+=$'\n'"$("$root/usr/bin/zembractl" "$command" --help)"
done
for page in zembra zembractl; do
    file="$root/usr/share/man/man1/$page.1.gz"
    warnings="$(LC_ALL=C.UTF-8 MANROFFSEQ='' MANWIDTH=80 \
        man --warnings -E UTF-8 -l -Tutf8 -Z "$file" 2>&1 >/dev/null)" || true
    [ -z "$warnings" ] || fail "$page.1: $warnings"
    source="$(zcat "$file" | sed 's/\\-/-/g')"
    grep -q "^\.TH .*\"Zembra $version\"" <<<"$source" || fail "$page.1 does not name Zembra $version"
    help_name="${page}_help"
    for option in $(grep -oE -- '--[a-z][a-z-]*' <<<"${!help_name}" | sort -u); do
        grep -qE -- "${option}([^a-z-]|\$)" <<<"$source" || fail "$page.1 does not tell of $option"
    done
done
for command in $commands; do
    grep -Eq "^\.BI? $command( |$)" <<<"$(zcat "$root/usr/share/man/man1/zembractl.1.gz")" \
        || fail "zembractl.1 has no entry for the command $command"
done

step "file type"
# A MIME database of the system's types and ours alone, asked through GIO as file managers do:
# by name, and by content for a list that lost its extension.
mkdir -p "$work/data/mime/packages" "$work/home"
cp /usr/share/mime/packages/freedesktop.org.xml "$root/usr/share/mime/packages/zembra.xml" \
    "$work/data/mime/packages/"
XDG_DATA_DIRS="$work/data" update-mime-database "$work/data/mime"
cp "$here/tests/data/example.zmb" "$work/Alarmy.zmb"
cp "$here/tests/data/example.zmb" "$work/Alarmy"
cp "$here/tests/data/cli_other_root.zmb" "$work/other-xml"
content_type() {
    XDG_DATA_HOME="$work/home" XDG_DATA_DIRS="$work/data" gio info -a standard::content-type "$1" \
        2>/dev/null | sed -n 's/^ *standard::content-type: //p'
}
for case in "Alarmy.zmb application/x-zembra" "Alarmy application/x-zembra" \
            "other-xml application/xml"; do
    read -r name want <<<"$case"
    got="$(content_type "$work/$name")"
    [ "$got" = "$want" ] || fail "$name is taken for '$got', not $want"
done

step "maintainer script"
# The postinst run on stand-ins for the programs: it grants the capability, or says on stderr
# why it could not, and never fails the installation.
mkdir -p "$work/fake/bin"
: >"$work/fake/bin/zembra"
: >"$work/fake/bin/zembractl"
sed "s|\"/usr/bin/|\"$work/fake/bin/|" "$work/control/postinst" >"$work/postinst"
if sh "$work/postinst" configure 2>"$work/postinst.err"; then
    for program in zembra zembractl; do
        if ! getcap "$work/fake/bin/$program" | grep -q 'cap_wake_alarm=ep' \
            && ! grep -q "$work/fake/bin/$program" "$work/postinst.err"; then
            fail "postinst neither granted CAP_WAKE_ALARM to $program nor said why"
        fi
    done
else
    fail "postinst configure failed"
fi
cat "$work/postinst.err"
getcap "$work/fake/bin/zembra" "$work/fake/bin/zembractl" | sed "s|$work/fake||"
mkdir "$work/no-setcap"
if env PATH="$work/no-setcap" /bin/sh "$work/postinst" configure 2>"$work/postinst.err"; then
    grep -q "setcap is missing" "$work/postinst.err" || fail "postinst did not tell that setcap is missing"
else
    fail "postinst configure failed without setcap"
fi
if [ "$(id -u)" -eq 0 ]; then
    # Refused: as a user who may not set capabilities, as on a file system without them.
    chmod 755 "$work" "$work/postinst"
    if setpriv --reuid=nobody --regid=nogroup --clear-groups sh "$work/postinst" configure \
        2>"$work/postinst.err"; then
        grep -q "could not grant CAP_WAKE_ALARM to $work/fake/bin/zembractl" "$work/postinst.err" \
            || fail "postinst did not tell that setcap was refused"
    else
        fail "postinst configure failed when setcap was refused"
    fi
fi

step "unpacked programs"
"$root/usr/bin/zembractl" --help >/dev/null || fail "zembractl --help"
"$root/usr/bin/zembractl" check "$here/tests/data/example.zmb" || fail "zembractl check"
zembra_version="$(QT_QPA_PLATFORM=offscreen "$root/usr/bin/zembra" --version)" || fail "zembra --version"
[ "$zembra_version" = "Zembra $version" ] || fail "zembra --version said '$zembra_version'"
echo "$zembra_version"

if [ "$failures" -ne 0 ]; then
    echo "check-package: $failures check(s) failed" >&2
    exit 1
fi
echo "check-package: $(basename "$deb") is fine"
