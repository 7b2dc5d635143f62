#!/usr/bin/env bash
# The editor installed under a prefix and started by a user who cannot
# write there: it finds its start-up data in share/qxvantor, keeps its
# settings in the user's configuration folder, makes its default project in
# the user's data folder from the installed template (and opens it: its
# lock is there), and writes nothing under the prefix.  Tests run as root,
# who may write anywhere, so the editor runs as user 65534.
set -euo pipefail
build=$1
if [[ $(id -u) -ne 0 ]] || ! command -v setpriv >/dev/null || ! command -v xvfb-run >/dev/null; then
  echo "SKIP: running the editor as another user needs root, setpriv and xvfb-run"
  exit 77
fi
work=$(mktemp -d)
group=
cleanup() {
  [[ -n $group ]] && kill -- -"$group" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
chmod 755 "$work"
prefix=$work/prefix
home=$work/home
cmake --install "$build" --prefix "$prefix" >/dev/null
for f in bin/qxvantor bin/GAME_EXE share/qxvantor/Sys/Api/ObjectList.txt share/qxvantor/Sys/Saves/textures/NoTexture.bmp \
         share/applications/qxvantor.desktop share/icons/hicolor/scalable/apps/qxvantor.svg; do
  [[ -f $prefix/$f ]] || { echo "FAIL: not installed: $f"; exit 1; }
done
[[ -e $prefix/Sys/Config.ini || -e $prefix/share/qxvantor/Sys/Config.ini ]] && { echo "FAIL: settings installed"; exit 1; }
mkdir -p "$home/run"
chmod 700 "$home/run"
chown -R 65534:65534 "$home"
touch "$work/installed"
sleep 1

cd "$home"
setsid setpriv --reuid=65534 --regid=65534 --clear-groups \
  env -i PATH="$PATH" HOME="$home" XDG_CONFIG_HOME="$home/config" XDG_DATA_HOME="$home/data" XDG_RUNTIME_DIR="$home/run" \
  xvfb-run -a -s "-screen 0 1280x1024x24 -noreset" "$prefix/bin/qxvantor" >"$work/log" 2>&1 &
group=$!
project=$home/data/qxvantor/Sys/Saves
for _ in $(seq 1 240); do
  [[ -f $home/config/qxvantor/Config.ini && -f $project/qxvantor.lock ]] && break
  sleep 0.5
done
kill -- -"$group" 2>/dev/null || true
wait "$group" 2>/dev/null || true
group=

status=0
grep -q '^onestart=0' "$home/config/qxvantor/Config.ini" 2>/dev/null || { echo "FAIL: no settings in the user's folder"; status=1; }
[[ -f $project/textures/NoTexture.bmp ]] || { echo "FAIL: the default project was not made from the template"; status=1; }
[[ -f $project/qxvantor.lock ]] || { echo "FAIL: the default project is not the open one"; status=1; }
changed=$(find "$prefix" -newer "$work/installed")
[[ -z $changed ]] || { echo "FAIL: written under the prefix: $changed"; status=1; }
if ((status != 0)); then
  echo "--- editor output"
  cat "$work/log"
fi
exit $status
