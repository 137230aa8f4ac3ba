#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Installs the Debian packages the project needs, when they are missing.
# Sourced by scripts/test and scripts/demo. Installs only as root; otherwise
# names what is missing and goes on.
zq_packages=(
  cmake make g++ pkg-config python3 qemu-user
  libgtest-dev libgmock-dev libbenchmark-dev
  gcc-arm-none-eabi binutils-arm-none-eabi
  libpng-dev zlib1g-dev unifont libicu-dev
  libavformat-dev libavcodec-dev libswresample-dev libavutil-dev
  libsdl2-dev xvfb xauth xdotool
  emscripten chromium
)
# What scripts/bench needs besides: instruction counts.
zq_bench_packages=(valgrind)
# What scripts/fuzz needs besides: clang with libFuzzer and the sanitizers.
zq_fuzz_packages=(clang-14 libclang-rt-14-dev)
# What scripts/lint needs besides: clang-tidy, and clang-apply-replacements for --fix.
zq_lint_packages=(clang-tidy clang-tools)

zq_install_deps() {
  local missing=()
  for p in "${zq_packages[@]}" "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  # The page's runner installs puppeteer-core with npm (scripts/web); a
  # node that brings its own npm needs no Debian npm.
  command -v npm >/dev/null || missing+=(npm)
  [ ${#missing[@]} -eq 0 ] && return 0
  if [ "$(id -u)" = 0 ]; then
    echo "Installing: ${missing[*]}"
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -qq
    apt-get install -y -qq --no-install-recommends "${missing[@]}"
  else
    echo "Missing Debian packages (run as root to install them): ${missing[*]}" >&2
  fi
}
