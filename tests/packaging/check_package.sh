#!/usr/bin/env bash
# The Debian package as a user meets it.  tools/test.sh makes it first
# (cmake --build BUILD_DIR --target package).
#   check_package.sh lintian  BUILD_DIR   lintian: errors fail
#   check_package.sh contents BUILD_DIR   unpack it, run the programs from
#       there, validate the desktop files and look up the type of a renamed
#       codeplug in a private XDG data folder
# Exits 77 (skipped) when a tool it needs or a fresh package is missing.
set -euo pipefail
step=$1
build=$(cd "$2" && pwd)

skip() { echo "SKIP: $*"; exit 77; }
fail() { echo "FAIL: $*"; exit 1; }
need() {
  for tool in "$@"; do
    command -v "$tool" >/dev/null || skip "$tool is not installed (tools/install-deps.sh installs it)"
  done
}
# check_version NAME COMMAND...: prints "NAME 2.1" or "NAME 2.1 (git REV)".
check_version() {
  local name=$1 shown
  shift
  shown=$("$@") || fail "$name --version failed"
  [[ $shown =~ ^$name\ [0-9.]+(\ \(git\ [^\)]+\))?$ ]] || fail "$name --version says '$shown'"
}
found=("$build"/package/orvex_*.deb)
deb=${found[0]}
[ -e "$deb" ] || skip "no package yet: cmake --build $build --target package"
for program in "$build"/bin/orvex "$build"/bin/orvex-cli "$build"/bin/orvex-sim; do
  [ "$deb" -nt "$program" ] || skip "the package is older than $program: cmake --build $build --target package"
done

case $step in
  lintian)
    need lintian
    # Warnings are kept and explained in the README; errors fail.
    lintian --fail-on error --tag-display-limit 0 "$deb"
    ;;
  contents)
    need dpkg-deb desktop-file-validate appstreamcli xmllint update-mime-database update-desktop-database gio
    root=$(mktemp -d)
    trap 'rm -rf "$root"' EXIT
    dpkg-deb -x "$deb" "$root"
    bin=$root/usr/bin share=$root/usr/share

    # Run from the unpacked folder: nothing may come from the build tree.
    "$bin/orvex-cli" new "$root/new.tw" >/dev/null
    [ "$(stat -c %s "$root/new.tw")" -gt 16 ] || fail "orvex-cli new wrote no codeplug"
    check_version orvex-cli "$bin/orvex-cli" --version
    check_version orvex-sim "$bin/orvex-sim" --version
    check_version orvex env -u DISPLAY -u WAYLAND_DISPLAY "$bin/orvex" --version
    check_version orvex env QT_QPA_PLATFORM=offscreen "$bin/orvex" --version

    desktop-file-validate "$share/applications/org.orvex.Orvex.desktop"
    appstreamcli validate --no-net --explain "$share/metainfo/org.orvex.Orvex.metainfo.xml"
    xmllint --noout "$share/mime/packages/orvex.xml" "$share/metainfo/org.orvex.Orvex.metainfo.xml" \
      "$share"/icons/hicolor/scalable/*/*.svg
    for page in orvex orvex-cli orvex-sim; do
      [ -s "$share/man/man1/$page.1.gz" ] || fail "no man page $page(1)"
    done
    [ -s "$share/bash-completion/completions/orvex-cli" ] || fail "no bash completion"
    grep -q "usermod -aG dialout" "$share/doc/orvex/README.serial" || fail "no word on serial access"
    for icon in apps/orvex mimetypes/application-x-orvex-codeplug; do
      [ -s "$share/icons/hicolor/48x48/$icon.png" ] && [ -s "$share/icons/hicolor/scalable/$icon.svg" ] ||
        fail "icon $icon"
    done

    # A private desktop: the package's MIME type and menu entry only.
    xdg=$root/xdg
    export XDG_DATA_HOME=$xdg XDG_DATA_DIRS=$xdg XDG_CONFIG_HOME=$root/config PATH=$bin:$PATH
    mkdir -p "$xdg/mime" "$xdg/applications"
    cp -r "$share/mime/packages" "$xdg/mime/"
    cp "$share/applications/org.orvex.Orvex.desktop" "$xdg/applications/"
    update-mime-database "$xdg/mime"
    update-desktop-database "$xdg/applications"
    cp "$root/new.tw" "$root/Dealer stock 7.tw"
    type=$(gio info -a standard::content-type "$root/Dealer stock 7.tw" | sed -n 's/^ *standard::content-type: //p')
    [ "$type" = application/x-orvex-codeplug ] || fail "a renamed codeplug is '$type'"
    # (Output first, then grep: grep -q in a pipe would cut gio off mid-write.)
    handlers=$(gio mime application/x-orvex-codeplug)
    grep -q "org.orvex.Orvex.desktop" <<<"$handlers" || fail "no program opens codeplugs: $handlers"
    echo "package contents OK"
    ;;
  *) fail "unknown step $step" ;;
esac
