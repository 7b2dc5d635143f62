#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test (under Xvfb when
# there is no display), ending with CTest's summary.
set -euo pipefail
cd "$(dirname "$0")"
source ./scripts/common.sh
qx_install_packages
qx_make_test_locale
qx_build build/test RelWithDebInfo
cd build/test
ctest_cmd=(ctest --output-on-failure -j2 --timeout 600)
if [[ -z "${DISPLAY:-}" ]]; then
  exec xvfb-run -a -s "-screen 0 1280x1024x24 -noreset" "${ctest_cmd[@]}"
fi
exec "${ctest_cmd[@]}"
