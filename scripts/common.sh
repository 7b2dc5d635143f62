# Shared by run.sh and test.sh.

QX_PACKAGES=(
  cmake ninja-build g++ pkg-config
  qt6-base-dev libqt6opengl6-dev qt6-translations-l10n
  libgl-dev libglu1-mesa-dev libgl1-mesa-dri
  libpng-dev libjpeg-dev libgif-dev zlib1g-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  xvfb xauth fonts-liberation locales
  dpkg-dev appstream
)

qx_install_packages() {
  local missing=()
  for p in "${QX_PACKAGES[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
      missing+=("$p")
    fi
  done
  if ((${#missing[@]} == 0)); then
    return 0
  fi
  if [[ $(id -u) -eq 0 ]]; then
    echo "Installing: ${missing[*]}"
    DEBIAN_FRONTEND=noninteractive apt-get update -q
    DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "${missing[@]}"
  else
    echo "Missing packages.  Run as root:"
    echo "  apt-get update && apt-get install -y --no-install-recommends ${missing[*]}"
    exit 1
  fi
}

# The number tests also run under a real comma locale when one exists.
qx_make_test_locale() {
  if locale -a 2>/dev/null | grep -qi '^ru_RU.utf8$'; then
    return 0
  fi
  if [[ $(id -u) -eq 0 ]] && command -v localedef >/dev/null; then
    localedef -i ru_RU -f UTF-8 ru_RU.UTF-8 || echo "Could not generate ru_RU.UTF-8; the comma-locale test will skip"
  fi
}

qx_build() {
  local dir=$1 type=$2
  cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE="$type"
  cmake --build "$dir" -j"$(nproc)"
}
