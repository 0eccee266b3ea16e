#!/usr/bin/env bash
# Sets up a Debian 12 machine for Tessera, builds it, and starts the editor
# (`./tessera.sh run`), runs every test, plainly and under the sanitizers
# (`./tessera.sh test`), or makes the Debian package (`./tessera.sh package`).
set -euo pipefail
cd "$(dirname "$0")"

packages=(
  cmake ninja-build g++ pkg-config
  libsdl2-dev libfluidsynth-dev timgm6mb-soundfont
  libfreetype-dev libfontconfig-dev
  fonts-ipafont-mincho fonts-ipafont-gothic fonts-motoya-l-maruberi
  libgtest-dev libbenchmark-dev
  libpng-dev zlib1g-dev
)
# CPack's Debian generator reads the programs' library needs with dpkg-shlibdeps.
package_packages=(dpkg-dev)
# The desktop suite runs the real window on a private X server and drives it;
# sox reads back what the sound player wrote. The package's check runs lintian
# and validates the desktop entry, AppStream metadata and manual pages. The
# tools' messages are compared in a locale the tests make. strace kills a save
# at each of its steps; the crash test makes XFS file systems.
test_packages=(xvfb libx11-dev libxtst-dev sox "${package_packages[@]}"
  lintian desktop-file-utils appstream man-db locales libc-l10n strace xfsprogs)

install_missing() { # install_missing [extra packages...]
  local missing=()
  for p in "${packages[@]}" "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return
  echo "Installing: ${missing[*]}"
  local sudo=()
  [ "$(id -u)" -ne 0 ] && sudo=(sudo)
  "${sudo[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq "${missing[@]}"
}

build() { # build FOLDER [cmake options...]
  local folder=$1
  shift
  cmake -S . -B "$folder" -G Ninja "$@" >/dev/null
  ninja -C "$folder"
}

# The Release build and the package made of it, in build-release.
package() { # package [cmake options...]
  build build-release -DCMAKE_BUILD_TYPE=Release "$@"
  # The package's folders take the modes the staging gives them: open to all,
  # whatever the builder's umask.
  (cd build-release && umask 022 && cpack -G DEB)
}

case "${1:-}" in
run)
  install_missing
  build build
  exec ./build/tessera
  ;;
test)
  install_missing "${test_packages[@]}"
  build build -DTESSERA_WERROR=ON -DTESSERA_DESKTOP_SUITE=ON
  (cd build && ctest --output-on-failure --schedule-random -j "$(nproc)")
  echo "== again under AddressSanitizer and UndefinedBehaviorSanitizer =="
  build build-sanitize -DTESSERA_SANITIZE=ON -DTESSERA_WERROR=ON -DTESSERA_DESKTOP_SUITE=ON
  (cd build-sanitize && ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
    ctest --output-on-failure --schedule-random -j "$(nproc)")
  echo "== the Release configuration, which must build without warnings, and its package =="
  # Only the programs: the suites ran above on the same code at -O2, and the
  # benchmarks are measured in build/bench. Under a strict umask, so that the
  # package's modes are shown to be its own.
  (umask 077 && package -DTESSERA_WERROR=ON -DBUILD_TESTING=OFF -DTESSERA_BENCH=OFF)
  echo "== the Debian package: lintian, its files, and its programs unpacked =="
  tests/package/package_test.sh build-release build
  echo "== saves of a full map stopped by simulated crashes, on ext4 and XFS =="
  tests/crash/crash_test.sh build-release/tessera-map 4
  echo "== where threads meet the main thread (sound, the play-test's map load), under ThreadSanitizer =="
  thread_tests=(desktop_sound_test desktop_midi_test sound_mixer_test run_rules_test)
  cmake -S . -B build-thread -G Ninja -DTESSERA_SANITIZE_THREAD=ON -DTESSERA_WERROR=ON >/dev/null
  ninja -C build-thread "${thread_tests[@]}"
  # Without address randomisation: the sanitizer's fixed memory layout clashes
  # with the widest randomisation some kernels use.
  (cd build-thread && TSAN_OPTIONS="halt_on_error=1 suppressions=$PWD/../tests/thread_sanitizer.supp" \
    setarch "$(uname -m)" -R \
    ctest --output-on-failure --schedule-random -j "$(nproc)" -R '^(DesktopSound|DesktopMidi|Mixer[A-Za-z]*)\.|^RunRules\.TheMapLoadsOnAThread')
  ;;
package)
  install_missing "${package_packages[@]}"
  package
  ;;
*)
  echo "usage: $0 run|test|package" >&2
  exit 2
  ;;
esac
