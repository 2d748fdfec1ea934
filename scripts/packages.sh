# Shared by scripts/run and scripts/test: the Debian packages Outlina needs, installed when
# missing (apt-get update once, then one install).
outlina_packages=(
  cmake ninja-build g++ pkg-config
  libgtest-dev libgmock-dev libbenchmark-dev
  libfreetype-dev libfontconfig-dev libharfbuzz-dev libicu-dev
  fonts-ipafont-gothic fonts-dejavu-core fonts-noto-cjk fonts-inconsolata
  qt6-base-dev xvfb xauth
  libpolyclipping-dev libpugixml-dev libcairo2-dev librsvg2-dev nlohmann-json3-dev
  clang libclang-rt-14-dev
)

install_missing_packages() {
  local missing=()
  local pkg
  for pkg in "${outlina_packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed'; then
      missing+=("$pkg")
    fi
  done
  if [ ${#missing[@]} -eq 0 ]; then
    echo "== all required packages are installed"
    return
  fi
  echo "== installing: ${missing[*]}"
  apt-get update -q
  DEBIAN_FRONTEND=noninteractive apt-get install -y -q "${missing[@]}"
}
