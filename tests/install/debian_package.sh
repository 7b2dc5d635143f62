#!/usr/bin/env bash
# The Debian package cpack makes from the build: named as Debian names it,
# holding under /usr exactly what `cmake --install` lays out, with what a
# desktop and man(1) look for (entry, icon, AppStream record, compressed man
# pages, the guide), stripped programs that still run on the packaged data,
# and run-time dependencies worked out by dpkg-shlibdeps.
set -euo pipefail
build=$1 version=$2 readme=$3
for tool in cpack dpkg-deb dpkg-shlibdeps appstreamcli readelf; do
  if ! command -v "$tool" >/dev/null; then
    echo "SKIP: $tool is missing (packages dpkg-dev, appstream, binutils)"
    exit 77
  fi
done
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
status=0
fail() { echo "FAIL: $*"; status=1; }

if ! (cd "$work" && cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work/out" >"$work/cpack.log" 2>&1); then
  cat "$work/cpack.log"
  exit 1
fi
deb=$work/out/qxvantor_${version}_$(dpkg --print-architecture).deb
if [[ ! -f $deb ]]; then
  echo "FAIL: no $(basename "$deb"); cpack made: $(cd "$work/out" && ls -- *.deb 2>/dev/null)"
  exit 1
fi

root=$work/root
dpkg -x "$deb" "$root"
cmake --install "$build" --prefix "$work/installed" >/dev/null
if ! diff <(cd "$root/usr" && find . ! -type d | sort) <(cd "$work/installed" && find . ! -type d | sort) >"$work/layout.diff"; then
  fail "the package's /usr differs from \`cmake --install\` (<: package, >: install)"
  cat "$work/layout.diff"
fi

share=$root/usr/share
for f in bin/qxvantor bin/GAME_EXE bin/qxinspect \
         share/qxvantor/Sys/Api/ObjectList.txt share/qxvantor/Sys/Saves/textures/NoTexture.bmp \
         share/applications/qxvantor.desktop share/icons/hicolor/scalable/apps/qxvantor.svg \
         share/metainfo/com.qxfpsvantor.qxvantor.metainfo.xml share/doc/qxvantor/README.md; do
  [[ -f $root/usr/$f ]] || fail "not packaged: /usr/$f"
done
cmp -s "$readme" "$share/doc/qxvantor/README.md" || fail "the packaged README.md is not the project's"
cmp -s "$readme" "$build/dist/README.md" || fail "the build's dist folder has not the project's README.md"

# man(1) and whatis read the NAME line "page \- summary" out of the gzip'd page.
for page in qxvantor GAME_EXE qxinspect; do
  man=$share/man/man1/$page.1.gz
  if ! gzip -t "$man" 2>/dev/null; then
    fail "no gzip'd man page $page.1.gz"
  elif ! zcat "$man" | grep -A1 '^\.SH NAME' | grep "^$page \\\\- " >/dev/null; then
    fail "$page.1 has no NAME line for $page"
  elif command -v man >/dev/null; then
    warnings=$(LC_ALL=C.UTF-8 man --warnings=all -l "$man" 2>&1 >/dev/null)
    [[ -z $warnings ]] || fail "$page.1 does not format cleanly: $warnings"
  fi
done

# The AppStream record with the desktop entry it launches, as software
# centres read them; the entry's program and icon by the names it gives.
appstreamcli validate-tree --no-net "$root/usr" >"$work/appstream.log" 2>&1 || { fail "appstreamcli validate-tree"; cat "$work/appstream.log"; }
desktop=$share/applications/qxvantor.desktop
if [[ -f $desktop ]]; then
  icon=$(sed -n 's/^Icon=//p' "$desktop")
  program=$(sed -n 's/^Exec=\([^ ]*\).*/\1/p' "$desktop")
  compgen -G "$share/icons/hicolor/*/apps/$icon.*" >/dev/null || fail "no icon \"$icon\" for the desktop entry"
  [[ -x $root/usr/bin/$program ]] || fail "the desktop entry starts \"$program\", which is not packaged"
fi

for program in qxvantor GAME_EXE qxinspect; do
  readelf -S "$root/usr/bin/$program" | grep '\.debug_info' >/dev/null && fail "$program is packaged with its debug data"
done
"$root/usr/bin/qxinspect" texture "$share/qxvantor/Sys/Saves/textures/NoTexture.bmp" >"$work/inspect.log" 2>&1 \
  || { fail "the packaged qxinspect on a packaged texture"; cat "$work/inspect.log"; }

dpkg-deb --info "$deb" >"$work/info"
depends=$(sed -n 's/^ Depends: //p' "$work/info")
grep -q '^ Package: qxvantor$' "$work/info" || fail "package name"
grep -q "^ Version: $version\$" "$work/info" || fail "version not $version"
for library in libqt6core6 libqt6gui6 libqt6widgets6 libpng libjpeg libgif libglu1; do
  [[ $depends == *"$library"* ]] || fail "Depends: lacks $library"
done
grep -q '^ Recommends: qt6-translations-l10n$' "$work/info" || fail "Qt's Russian texts not recommended"
if ((status != 0)); then
  echo "--- dpkg-deb --info"
  cat "$work/info"
fi
exit $status
