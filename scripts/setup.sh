#!/bin/bash
# Installs what building and testing Folivra needs on Debian 12 (run as root).
set -euo pipefail

packages=(
  cmake ninja-build clang libclang-rt-14-dev g++ git
  zlib1g-dev libgtest-dev googletest libbenchmark-dev nlohmann-json3-dev
  g++-mingw-w64-x86-64-posix mingw-w64-x86-64-dev libz-mingw-w64-dev
  wine wine64 fonts-wine xvfb xauth locales fonts-wqy-microhei imagemagick x11-utils nsis
  libdeflate-dev libpcre2-dev epubcheck dpkg-dev libsqlite3-dev tcl
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "setup: installing ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  # Wine's recommended packages bring the fonts and libraries its programs expect.
  apt-get install -y -qq "${missing[@]}" >/dev/null
fi

# Wine takes its ANSI code page (936) from the Chinese locale.
if ! locale -a 2>/dev/null | grep -qi '^zh_CN\.utf-\?8$'; then
  sed -i 's/^# *\(zh_CN.UTF-8 UTF-8\)/\1/' /etc/locale.gen
  grep -q '^zh_CN.UTF-8 UTF-8' /etc/locale.gen || echo 'zh_CN.UTF-8 UTF-8' >> /etc/locale.gen
  locale-gen >/dev/null
fi

# libdeflate, PCRE2 and SQLite for the Windows tree: Debian builds them for Linux
# only, so their Debian source packages are built here with the mingw-w64
# compiler, once per checkout (build/deps/mingw, linked statically).
cd "$(dirname "$0")/.."
deps="$PWD/build/deps/mingw"

source_package() {  # source_package NAME DIR: unpacks NAME's Debian source in DIR
  local sources=/etc/apt/sources.list.d/folivra-src.sources
  if [ ! -f "$sources" ]; then
    # The source packages come from the archive the machine's own sources name.
    local uri suite
    uri=$(grep -h '^URIs:' /etc/apt/sources.list.d/*.sources 2>/dev/null | head -n 1 | awk '{print $2}')
    [ -n "$uri" ] || uri=$(grep -h '^deb ' /etc/apt/sources.list 2>/dev/null | head -n 1 |
      sed 's/\[[^]]*\] *//' | awk '{print $2}')
    suite=$(. /etc/os-release && echo "$VERSION_CODENAME")
    printf '%s\n' 'Types: deb-src' "URIs: $uri" "Suites: $suite" \
      'Components: main' 'Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg' > "$sources"
    apt-get update -qq
  fi
  (cd "$2" && apt-get source -qq "$1" >/dev/null 2>&1)
}

if [ ! -f "$deps/lib/libdeflate.a" ]; then
  work=$(mktemp -d)
  source_package libdeflate "$work"
  make -s -C "$work"/libdeflate-*/ -j"$(nproc)" CC=x86_64-w64-mingw32-gcc-posix \
    AR=x86_64-w64-mingw32-ar libdeflatestatic.lib >/dev/null
  mkdir -p "$deps/lib" "$deps/include"
  cp "$work"/libdeflate-*/libdeflatestatic.lib "$deps/lib/libdeflate.a"
  cp "$work"/libdeflate-*/libdeflate.h "$deps/include/"
  rm -rf "$work"
fi

# PCRE2: the 16-bit library alone, static, with its JIT.
if [ ! -f "$deps/lib/libpcre2-16.a" ]; then
  work=$(mktemp -d)
  source_package pcre2 "$work"
  cmake -S "$work"/pcre2-*/ -B "$work/build" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$PWD/cmake/mingw-w64.cmake" -DCMAKE_BUILD_TYPE=Release \
    -DBUILD_SHARED_LIBS=OFF -DPCRE2_BUILD_PCRE2_8=OFF -DPCRE2_BUILD_PCRE2_16=ON \
    -DPCRE2_SUPPORT_JIT=ON -DPCRE2_BUILD_PCRE2GREP=OFF -DPCRE2_BUILD_TESTS=OFF \
    -DCMAKE_INSTALL_PREFIX="$deps" >/dev/null
  cmake --build "$work/build" >/dev/null
  cmake --install "$work/build" >/dev/null
  rm -rf "$work"
fi

# SQLite: the amalgamation made from Debian's source tree (its generator
# wants tclsh), compiled as one static library.
if [ ! -f "$deps/lib/libsqlite3.a" ]; then
  work=$(mktemp -d)
  source_package sqlite3 "$work"
  mkdir "$work/build"
  (cd "$work/build" && "$work"/sqlite3-*/configure --disable-tcl >/dev/null &&
    make -s sqlite3.c >/dev/null)
  x86_64-w64-mingw32-gcc-posix -O2 -c "$work/build/sqlite3.c" -o "$work/build/sqlite3.o" \
    -DSQLITE_THREADSAFE=1 -DSQLITE_OMIT_LOAD_EXTENSION -DSQLITE_DQS=0
  mkdir -p "$deps/lib" "$deps/include"
  x86_64-w64-mingw32-ar rcs "$deps/lib/libsqlite3.a" "$work/build/sqlite3.o"
  cp "$work/build/sqlite3.h" "$deps/include/"
  rm -rf "$work"
fi
