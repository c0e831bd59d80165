# Debian 12 packages Brevon builds and tests with; sourced by ./run and ./test.
BREVON_PACKAGES=(
  cmake ninja-build g++ pkg-config
  qt6-base-dev qt6-svg-dev libqcustomplot-dev libqcustomplot2.1-qt6 libgl-dev
  libusb-1.0-0-dev gettext fonts-liberation2
  googletest libgtest-dev libbenchmark-dev
  umockdev libumockdev-dev
  librsvg2-bin file dpkg-dev            # the Debian package: its icon and its dependencies
  desktop-file-utils appstream lintian  # the package test's validators
)
# The fuzz stage of ./test: clang with libFuzzer and the sanitizer runtimes, and llvm-cov and
# llvm-profdata for the coverage of the fuzz corpus (scripts/fuzz-coverage.sh).
BREVON_FUZZ_PACKAGES=(clang libclang-rt-14-dev llvm-14)
# bench/run: perf counts the instructions per telemetry frame; Xvfb is the X server the
# start-up is also measured on.
BREVON_BENCH_PACKAGES=(linux-perf xvfb xauth)

# Installs what is missing: with apt-get as root, otherwise prints the line to run.
brevon_ensure_packages() {
  local missing=()
  local p
  for p in "${BREVON_PACKAGES[@]}" "$@"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
      missing+=("$p")
    fi
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  if [ "$(id -u)" -eq 0 ]; then
    echo "Installing: ${missing[*]}"
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -qq || return 1
    apt-get install -y -qq --no-install-recommends "${missing[@]}" || return 1
  else
    echo "Brevon needs these Debian packages. Run:" >&2
    echo "  sudo apt-get install ${missing[*]}" >&2
    return 1
  fi
}
