# Shared functions of tools/build-windows and tools/test-windows: the native
# Windows (x64) build, cross-compiled with mingw-w64 into build-windows/.
# Sourced, not run.
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

ZT_WIN_BUILD="$ZT_ROOT/build-windows"
ZT_WIN_MARIADB="$ZT_WIN_BUILD/mariadb"
ZT_WIN_XLSX="$ZT_WIN_BUILD/xlsxwriter"
# The zip and the installer carry the version the build was configured
# with (cmake/Version.cmake); zt_win_package sets both names.
ZT_WIN_ZIP=""
ZT_WIN_SETUP=""
ZT_WIN_CXX=x86_64-w64-mingw32-g++-posix

# Debian packages of the cross build (the Linux build's come first: the
# tests run under its Wine, against its MariaDB server).
ZT_WIN_PACKAGES="cmake make g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix
 binutils-mingw-w64-x86-64 mingw-w64-tools libz-mingw-w64-dev googletest unzip xz-utils python3 nsis"

zt_win_install() {
  local saved="$ZT_PACKAGES"
  ZT_PACKAGES="$ZT_PACKAGES $ZT_WIN_PACKAGES"
  zt_install || { ZT_PACKAGES="$saved"; return 1; }
  ZT_PACKAGES="$saved"
}

# True when apt knows a source of the mariadb package.  (Read whole: a
# "grep -q" that stops reading would fail the pipe under pipefail.)
zt_win_has_src() {
  local src
  src=$(apt-cache showsrc mariadb 2>/dev/null || true)
  [[ "$src" == *$'\nVersion: '* || "$src" == 'Version: '* ]]
}

# Adds deb-src entries beside the machine's deb entries (same mirrors and
# suites) when apt knows no source of the mariadb package yet.
zt_win_deb_src() {
  zt_win_has_src && return 0
  zt_log "adding source entries for apt (the MariaDB client library and libxlsxwriter are built from Debian's sources)"
  local f made=0
  for f in /etc/apt/sources.list.d/*.sources; do
    [ -e "$f" ] || continue
    case "$f" in */kelmora-src.sources) continue ;; esac
    grep -q '^Types:.*\bdeb\b' "$f" || continue
    sed -e 's/^Types:.*$/Types: deb-src/' "$f" >>/etc/apt/sources.list.d/kelmora-src.sources.new
    printf '\n' >>/etc/apt/sources.list.d/kelmora-src.sources.new
    made=1
  done
  if [ "$made" = 1 ]; then
    mv /etc/apt/sources.list.d/kelmora-src.sources.new /etc/apt/sources.list.d/kelmora-src.sources
  fi
  if [ -f /etc/apt/sources.list ] && grep -q '^deb ' /etc/apt/sources.list; then
    sed -n 's/^deb /deb-src /p' /etc/apt/sources.list >/etc/apt/sources.list.d/kelmora-src.list
  fi
  apt-get update -q >>/tmp/kelmora-apt.log 2>&1 || true
  zt_win_has_src || { zt_log "apt knows no source package mariadb"; return 1; }
}

# Downloads the source package $1 into the folder $2 (apt-get's output
# appended to $3; $4 says its size): the newest version the mirrors still
# serve (a security update's source may be listed before the mirror has
# it).  Sets ZT_SRC_VERSION and ZT_SRC_TARBALL (its orig tarball).
zt_win_fetch_src() {
  local pkg="$1" dir="$2" log="$3" size="$4" v f
  ZT_SRC_VERSION="" ZT_SRC_TARBALL=""
  for v in $(apt-cache showsrc "$pkg" | sed -n 's/^Version: //p' | sort -rV | uniq); do
    zt_log "fetching the source of $pkg $v ($size)"
    if (cd "$dir" && apt-get source -q --download-only "$pkg=$v" >>"$log" 2>&1); then ZT_SRC_VERSION=$v; break; fi
    rm -f "$dir"/*
  done
  [ -n "$ZT_SRC_VERSION" ] || { zt_log "the source of $pkg could not be fetched"; return 1; }
  for f in "$dir/${pkg}"_*.orig.tar.*; do case "$f" in *.asc) ;; *) ZT_SRC_TARBALL=$f ;; esac; done
  [ -n "$ZT_SRC_TARBALL" ] || { zt_log "the source package $pkg has no orig tarball"; return 1; }
}

# Builds the MariaDB client library (Connector/C, the libmariadb/ folder of
# Debian's mariadb source package) for Windows once, into
# build-windows/mariadb/{include,lib,bin}: TLS through the system's
# SChannel, the authentication and connection plugins linked in.
zt_win_mariadb() {
  local stamp="$ZT_WIN_MARIADB/.kelmora-ready"
  [ -f "$stamp" ] && [ -f "$ZT_WIN_MARIADB/bin/libmariadb.dll" ] && return 0
  local start=$SECONDS tmp got src log="$ZT_WIN_BUILD/mariadb-build.log"
  mkdir -p "$ZT_WIN_BUILD"
  zt_win_deb_src || return 1
  tmp=$(mktemp -d /tmp/kelmora-mariadb.XXXXXX)
  zt_win_fetch_src mariadb "$tmp" "$log" "about 115 MB" || { rm -rf "$tmp"; return 1; }
  got=$ZT_SRC_VERSION src=$ZT_SRC_TARBALL
  (cd "$tmp" && tar xf "$src" --wildcards '*/libmariadb/*') || { rm -rf "$tmp"; zt_log "unpacking $src failed"; return 1; }
  local cc="$tmp/$(cd "$tmp" && ls -d mariadb-*/libmariadb | head -1)"
  zt_log "building the MariaDB client library for Windows (about a minute)"
  zt_step "building libmariadb" "$log" -a cmake -S "$cc" -B "$tmp/build" \
      -DCMAKE_TOOLCHAIN_FILE="$ZT_ROOT/cmake/mingw-w64-x86_64.cmake" -DCMAKE_BUILD_TYPE=Release \
      -DWITH_SSL=SCHANNEL -DWITH_UNIT_TESTS=OFF -DWITH_CURL=OFF -DWITH_EXTERNAL_ZLIB=OFF \
      -DCLIENT_PLUGIN_DIALOG=STATIC -DCLIENT_PLUGIN_SHA256_PASSWORD=STATIC \
      -DCLIENT_PLUGIN_CACHING_SHA2_PASSWORD=STATIC -DCLIENT_PLUGIN_CLIENT_ED25519=STATIC \
      -DCLIENT_PLUGIN_PVIO_NPIPE=STATIC -DCLIENT_PLUGIN_PVIO_SHMEM=STATIC \
      -DCLIENT_PLUGIN_MYSQL_CLEAR_PASSWORD=STATIC -DCLIENT_PLUGIN_MYSQL_OLD_PASSWORD=STATIC \
      -DCLIENT_PLUGIN_AUTH_GSSAPI_CLIENT=OFF &&
    zt_step "building libmariadb" "$log" -a cmake --build "$tmp/build" --target libmariadb -j"$(nproc 2>/dev/null || echo 2)" || {
      tail -30 "$log" >&2; rm -rf "$tmp"; zt_log "building the client library failed (see $log)"; return 1; }
  rm -rf "$ZT_WIN_MARIADB"
  mkdir -p "$ZT_WIN_MARIADB/include" "$ZT_WIN_MARIADB/lib" "$ZT_WIN_MARIADB/bin"
  cp -r "$cc"/include/*.h "$cc/include/mysql" "$cc/include/mariadb" "$ZT_WIN_MARIADB/include/"
  cp "$tmp"/build/include/*.h "$ZT_WIN_MARIADB/include/"
  cp "$tmp/build/libmariadb/liblibmariadb.dll.a" "$ZT_WIN_MARIADB/lib/libmariadb.dll.a"
  x86_64-w64-mingw32-strip -o "$ZT_WIN_MARIADB/bin/libmariadb.dll" "$tmp/build/libmariadb/libmariadb.dll"
  cp "$cc/COPYING.LIB" "$ZT_WIN_MARIADB/COPYING.LIB" 2>/dev/null || true
  echo "$got" >"$ZT_WIN_MARIADB/version"
  rm -rf "$tmp"
  touch "$stamp"
  zt_log "libmariadb.dll of mariadb $got built in $(( SECONDS - start )) s"
}

# Builds libxlsxwriter (the workbook writer of the exports) for Windows once,
# from Debian's source package libxlsxwriter, into
# build-windows/xlsxwriter/{include,lib}: a static library with its bundled
# minizip, linked into the program with the static zlib of Debian's
# libz-mingw-w64-dev, so the package ships no further DLL.
zt_win_xlsx() {
  local stamp="$ZT_WIN_XLSX/.kelmora-ready"
  [ -f "$stamp" ] && [ -f "$ZT_WIN_XLSX/lib/libxlsxwriter.a" ] && return 0
  local start=$SECONDS tmp f got src log="$ZT_WIN_BUILD/xlsxwriter-build.log"
  mkdir -p "$ZT_WIN_BUILD"
  zt_win_deb_src || return 1
  tmp=$(mktemp -d /tmp/kelmora-xlsx.XXXXXX)
  zt_win_fetch_src libxlsxwriter "$tmp" "$log" "about 20 MB" || { rm -rf "$tmp"; return 1; }
  got=$ZT_SRC_VERSION src=$ZT_SRC_TARBALL
  (cd "$tmp" && tar xf "$src" --exclude='*/docs/*' --exclude='*/test/*' --exclude='*/examples/*') || {
    rm -rf "$tmp"; zt_log "unpacking $src failed"; return 1; }
  local lx="$tmp/$(cd "$tmp" && ls -d libxlsxwriter-*/ | head -1)"
  zt_log "building libxlsxwriter for Windows"
  zt_step "building libxlsxwriter" "$log" -a cmake -S "$lx" -B "$tmp/build" \
      -DCMAKE_TOOLCHAIN_FILE="$ZT_ROOT/cmake/mingw-w64-x86_64.cmake" -DCMAKE_BUILD_TYPE=Release \
      -DBUILD_SHARED_LIBS=OFF -DBUILD_TESTS=OFF -DBUILD_EXAMPLES=OFF -DUSE_SYSTEM_MINIZIP=OFF \
      -DZLIB_INCLUDE_DIR=/usr/x86_64-w64-mingw32/include -DZLIB_LIBRARY=/usr/x86_64-w64-mingw32/lib/libz.a &&
    zt_step "building libxlsxwriter" "$log" -a cmake --build "$tmp/build" -j"$(nproc 2>/dev/null || echo 2)" || {
      tail -30 "$log" >&2; rm -rf "$tmp"; zt_log "building libxlsxwriter failed (see $log)"; return 1; }
  rm -rf "$ZT_WIN_XLSX"
  mkdir -p "$ZT_WIN_XLSX/include" "$ZT_WIN_XLSX/lib"
  cp -r "$lx/include/xlsxwriter.h" "$lx/include/xlsxwriter" "$ZT_WIN_XLSX/include/"
  f=$(find "$tmp/build" -name 'libxlsxwriter.a' | head -1)
  [ -f "$f" ] || { rm -rf "$tmp"; zt_log "the build made no libxlsxwriter.a"; return 1; }
  cp "$f" "$ZT_WIN_XLSX/lib/libxlsxwriter.a"
  cp "$lx/License.txt" "$ZT_WIN_XLSX/License.txt" 2>/dev/null || true
  echo "$got" >"$ZT_WIN_XLSX/version"
  rm -rf "$tmp"
  touch "$stamp"
  zt_log "libxlsxwriter.a of libxlsxwriter $got built in $(( SECONDS - start )) s"
}

# The MinGW runtime DLLs the programs import (C++ library, unwinder,
# threads).
zt_win_runtime_dlls() {
  local d
  for d in libstdc++-6.dll libgcc_s_seh-1.dll libwinpthread-1.dll; do
    local p
    p=$("$ZT_WIN_CXX" -print-file-name="$d")
    [ -f "$p" ] || p=$(find /usr/lib/gcc/x86_64-w64-mingw32 /usr/x86_64-w64-mingw32 -name "$d" 2>/dev/null | grep -v win32 | head -1)
    [ -f "$p" ] || { zt_log "the MinGW runtime $d is missing"; return 1; }
    echo "$p"
  done
}

# Configures build-windows/ once and cross-builds every module into it; the
# compiler's output goes to build-windows.log.  The client library and the
# MinGW runtime are copied beside the programs so that they run in place.
zt_win_build() {
  local jobs log="$ZT_ROOT/build-windows.log" start=$SECONDS
  jobs=$(nproc 2>/dev/null || echo 2)
  if [ ! -f "$ZT_WIN_BUILD/CMakeCache.txt" ]; then
    zt_note "configuring the Windows build in build-windows/"
    zt_step "configuring" "$log" cmake -S "$ZT_ROOT" -B "$ZT_WIN_BUILD" \
        -DCMAKE_TOOLCHAIN_FILE="$ZT_ROOT/cmake/mingw-w64-x86_64.cmake" \
        -DCMAKE_BUILD_TYPE=Release -DZT_MARIADB_DIR="$ZT_WIN_MARIADB" -DZT_XLSX_DIR="$ZT_WIN_XLSX" || {
      cat "$log" >&2; zt_log "configuring the Windows build failed"; return 1; }
  elif ! grep -q '^ZT_XLSX_DIR' "$ZT_WIN_BUILD/CMakeCache.txt"; then
    # A build folder configured before the exports needed the workbook writer.
    zt_step "configuring" "$log" cmake -S "$ZT_ROOT" -B "$ZT_WIN_BUILD" -DZT_XLSX_DIR="$ZT_WIN_XLSX" || {
      cat "$log" >&2; zt_log "configuring the Windows build failed"; return 1; }
  fi
  zt_note "cross-building for Windows with $jobs jobs; the compiler's output goes to build-windows.log"
  zt_step "building for Windows" "$log" -a cmake --build "$ZT_WIN_BUILD" -j"$jobs" || {
    grep -E 'error|Error' -A3 "$log" | head -60 >&2; zt_log "the Windows build failed (see build-windows.log)"; return 1; }
  local f
  cp -u "$ZT_WIN_MARIADB/bin/libmariadb.dll" "$ZT_WIN_BUILD/"
  for f in $(zt_win_runtime_dlls); do cp -u "$f" "$ZT_WIN_BUILD/"; done
  zt_note "Windows build done in $(( SECONDS - start )) s"
}

# The version the Windows build was configured with.
zt_win_version() {
  local v
  v=$(tr -d ' \r\n' <"$ZT_WIN_BUILD/kelmora-version.txt" 2>/dev/null || true)
  [ -n "$v" ] || { zt_log "build-windows/kelmora-version.txt is missing (configure the build first)"; return 1; }
  echo "$v"
}

# Writes the notices of the programs of others that the package ships
# (the client library and the MinGW runtime) into $1 with Windows line
# ends: what each is, its licence, where its source is, and the licence
# texts of their Debian packages.
zt_win_notices() {
  local out="$1" d p pkg ver src
  src=$(cat "$ZT_WIN_MARIADB/version" 2>/dev/null || echo unknown)
  {
    echo "Kelmora for Windows: programs of others shipped with it"
    echo "========================================================"
    echo
    echo "libmariadb.dll"
    echo "  MariaDB Connector/C, the MySQL/MariaDB client library, built for Windows from"
    echo "  the libmariadb/ folder of Debian's source package mariadb $src"
    echo "  (apt-get source mariadb=$src).  GNU Lesser General Public License 2.1:"
    echo "  COPYING-libmariadb.txt beside this file holds its text.  You may replace"
    echo "  libmariadb.dll with another build of the same library."
    echo
    echo "libxlsxwriter (linked into Kelmora.exe)"
    echo "  The library Kelmora writes Excel workbooks with, built for Windows as a static"
    echo "  library from Debian's source package libxlsxwriter $(cat "$ZT_WIN_XLSX/version" 2>/dev/null || echo unknown)"
    echo "  (apt-get source libxlsxwriter).  FreeBSD (2-clause) licence; it carries minizip"
    echo "  (zlib licence), tmpfileplus (Mozilla Public License 2.0), an MD5 implementation"
    echo "  (public domain) and others: LICENSE-libxlsxwriter.txt beside this file holds"
    echo "  the texts."
    echo
    echo "zlib (linked into Kelmora.exe)"
    echo "  The compression library, from Debian's package libz-mingw-w64-dev"
    echo "  $(dpkg-query -W -f='${Version}' libz-mingw-w64-dev 2>/dev/null || echo unknown); zlib licence:"
    echo
    awk 'prev == "" && /^License: Zlib$/ { p = 1; next } p && /^$/ { p = 0 } p { print } { prev = $0 }' \
        /usr/share/doc/libz-mingw-w64-dev/copyright 2>/dev/null | sed 's/^ \.$//; s/^/  /'
    echo
    for d in libstdc++-6.dll libgcc_s_seh-1.dll libwinpthread-1.dll; do
      p=$(readlink -f "$ZT_WIN_BUILD/$d")
      [ -f "$p" ] || p=$(readlink -f "$("$ZT_WIN_CXX" -print-file-name="$d")")
      pkg=$(dpkg -S "$p" 2>/dev/null | head -1 | cut -d: -f1 || true)
      ver=$(dpkg-query -W -f='${Version}' "$pkg" 2>/dev/null || true)
      echo "$d"
      case "$d" in
        libwinpthread*) echo "  winpthreads of the MinGW-w64 project (POSIX threads for Windows), MIT-style licence." ;;
        *) echo "  The GCC runtime (the C++ library and the unwinder), GNU General Public License 3"
           echo "  with the GCC Runtime Library Exception 3.1, which lets programs built with GCC"
           echo "  ship it under their own terms." ;;
      esac
      echo "  From Debian's package ${pkg:-unknown} ${ver}; its copyright file follows below."
      echo
    done
    for pkg in $(for d in libstdc++-6.dll libwinpthread-1.dll; do
                   dpkg -S "$(readlink -f "$("$ZT_WIN_CXX" -print-file-name="$d")")" 2>/dev/null | head -1 | cut -d: -f1
                 done | sort -u); do
      [ -f "/usr/share/doc/$pkg/copyright" ] || continue
      echo
      echo "==== Copyright file of Debian's package $pkg ===="
      echo
      cat "/usr/share/doc/$pkg/copyright"
    done
    if [ -f /usr/share/common-licenses/GPL-3 ]; then
      echo
      echo "==== GNU General Public License, version 3 ===="
      echo
      cat /usr/share/common-licenses/GPL-3
    fi
  } | sed 's/$/\r/' >"$out"
}

# Packs build-windows/Kelmora-<version>-windows-x64.zip: the program, its
# DLLs, the client library, the MinGW runtime, the set-up tool, a sample
# config.ini, README-Windows.txt and the notices; then the installer
# Kelmora-<version>-setup.exe beside it (zt_win_installer).
zt_win_package() {
  local stage="$ZT_WIN_BUILD/package" f version
  version=$(zt_win_version) || return 1
  ZT_WIN_ZIP="$ZT_WIN_BUILD/Kelmora-$version-windows-x64.zip"
  ZT_WIN_SETUP="$ZT_WIN_BUILD/Kelmora-$version-setup.exe"
  rm -rf "$stage" "$ZT_WIN_BUILD"/Kelmora-*-windows-x64.zip "$ZT_WIN_BUILD"/Kelmora-windows-x64.zip
  mkdir -p "$stage"
  for f in Kelmora.exe ZTData.dll ZTListview.dll ZTPopedom.dll SkinMagic.dll res.dll \
           "自动更新.exe" kelmora-db.exe libmariadb.dll libstdc++-6.dll libgcc_s_seh-1.dll libwinpthread-1.dll; do
    [ -f "$ZT_WIN_BUILD/$f" ] || { zt_log "build-windows/$f is missing"; return 1; }
    cp "$ZT_WIN_BUILD/$f" "$stage/"
  done
  x86_64-w64-mingw32-strip "$stage"/*.exe "$stage"/*.dll
  # Text files with Windows line ends; the read-me in UTF-8 with its byte
  # order mark, which Notepad reads whatever the system's code page.
  sed 's/$/\r/' "$ZT_ROOT/tools/windows/config.ini" >"$stage/config.ini"
  { printf '\xef\xbb\xbf'; sed 's/$/\r/' "$ZT_ROOT/tools/windows/README-Windows.txt"; } >"$stage/README-Windows.txt"
  [ -f "$ZT_WIN_MARIADB/COPYING.LIB" ] && sed 's/$/\r/' "$ZT_WIN_MARIADB/COPYING.LIB" >"$stage/COPYING-libmariadb.txt"
  [ -f "$ZT_WIN_XLSX/License.txt" ] && sed 's/$/\r/' "$ZT_WIN_XLSX/License.txt" >"$stage/LICENSE-libxlsxwriter.txt"
  zt_win_notices "$stage/THIRD-PARTY-NOTICES.txt"
  # Names are stored in UTF-8 with the zip format's UTF-8 flag, so that
  # Windows shows "自动更新.exe" whatever its code page.
  python3 - "$stage" "$ZT_WIN_ZIP" <<'PY' || { zt_log "packing the zip failed"; return 1; }
import os, sys, zipfile
stage, out = sys.argv[1], sys.argv[2]
with zipfile.ZipFile(out, "w", zipfile.ZIP_DEFLATED, compresslevel=9) as z:
    for name in sorted(os.listdir(stage)):
        z.write(os.path.join(stage, name), name)
PY
  zt_log "packed $ZT_WIN_ZIP ($(( $(stat -c %s "$ZT_WIN_ZIP") / 1024 )) KB)"
  zt_win_installer "$stage" "$version"
}

# Builds the installer Kelmora-<version>-setup.exe with NSIS from the staged
# package ($1; its sample config.ini stays out: the settings live outside
# the program folder) and version $2.
zt_win_installer() {
  local stage="$1" version="$2" work="$ZT_WIN_BUILD/installer" f log="$ZT_WIN_BUILD/installer.log"
  command -v makensis >/dev/null || { zt_log "makensis is missing (Debian package nsis)"; return 1; }
  rm -rf "$work" "$ZT_WIN_BUILD"/Kelmora-*-setup.exe
  mkdir -p "$work"
  # The files to install and to remove again, one NSIS line each.
  : >"$work/files.nsh"; : >"$work/unfiles.nsh"
  for f in $(cd "$stage" && ls | LC_ALL=C sort); do
    [ "$f" = config.ini ] && continue
    echo "File \"$stage/$f\"" >>"$work/files.nsh"
    echo "Delete \"\$INSTDIR\\$f\"" >>"$work/unfiles.nsh"
  done
  local numeric="$version"
  while [ "$(echo "$numeric" | tr -cd . | wc -c)" -lt 3 ]; do numeric="$numeric.0"; done
  if ! makensis -V2 -INPUTCHARSET UTF8 -DVERSION="$version" -DVERSION4="$numeric" \
        -DFILES="$work/files.nsh" -DUNFILES="$work/unfiles.nsh" -DICON="$ZT_ROOT/app/resources/kelmora.ico" \
        -DOUTFILE="$ZT_WIN_SETUP" "$ZT_ROOT/tools/windows/kelmora.nsi" >"$log" 2>&1; then
    tail -30 "$log" >&2; zt_log "building the installer failed (see $log)"; return 1
  fi
  zt_log "built $ZT_WIN_SETUP ($(( $(stat -c %s "$ZT_WIN_SETUP") / 1024 )) KB)"
}
