#!/usr/bin/env bash
# Installs what is missing, builds a Release build, lays out the installation
# folder and starts the editor from it.
set -euo pipefail
cd "$(dirname "$0")"
source ./scripts/common.sh
qx_install_packages
qx_build build/release Release
dist="$PWD/build/release/dist"
if [[ -z "${DISPLAY:-}" && -z "${WAYLAND_DISPLAY:-}" ]]; then
  echo "No display.  To run the editor without one:"
  echo "  xvfb-run -a -s '-screen 0 1280x1024x24 -noreset' ./run.sh"
  exit 1
fi
cd "$dist"
exec ./qxvantor "$@"
