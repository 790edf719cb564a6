# Shared functions of tools/build, tools/test and tools/run.
# Sourced, not run.  Everything it installs or starts is idempotent and
# stays inside the project folder (build/ and var/) or a temporary folder.

ZT_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
ZT_BUILD="$ZT_ROOT/build"

zt_log() { printf '[kelmora] %s\n' "$*" >&2; }

# A step message for the scripts that narrate their steps (ZT_PROGRESS=1).
zt_note() {
  if [ "${ZT_PROGRESS:-0}" = 1 ]; then zt_log "$@"; fi
  return 0
}

# Debian packages the project needs to build, run and test.
ZT_PACKAGES="cmake g++ make pkg-config libgtest-dev
 wine wine64 libwine-dev wine64-tools
 mariadb-server mariadb-client libmariadb-dev libxlsxwriter-dev unzip
 xvfb xdotool imagemagick x11-utils fonts-wqy-microhei locales python3 openssl
 galera-4 rsync iproute2"

zt_install() {
  local missing=""
  for p in $ZT_PACKAGES; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing="$missing $p"
  done
  if [ -n "$missing" ]; then
    zt_log "installing:$missing"
    zt_note "(about a minute; apt-get writes to /tmp/kelmora-apt.log)"
    local sudo=""
    [ "$(id -u)" = 0 ] || sudo="sudo"
    export DEBIAN_FRONTEND=noninteractive
    if ! zt_step "installing packages" /tmp/kelmora-apt.log $sudo apt-get install -y -q $missing; then
      zt_log "installation failed; updating the package lists and trying again"
      $sudo apt-get update -q >>/tmp/kelmora-apt.log 2>&1 || true
      zt_step "installing packages" /tmp/kelmora-apt.log -a $sudo apt-get install -y -q $missing || {
        tail -20 /tmp/kelmora-apt.log >&2; zt_log "package installation failed"; return 1; }
    fi
    zt_note "packages installed"
  fi
  if ! locale -a 2>/dev/null | grep -qi '^zh_CN\.utf-\?8$'; then
    zt_log "generating the zh_CN.UTF-8 locale"
    local sudo=""
    [ "$(id -u)" = 0 ] || sudo="sudo"
    $sudo localedef -i zh_CN -f UTF-8 zh_CN.UTF-8 || return 1
  fi
}

# The 64-bit Wine loader (Debian's "wine" wrapper wants wine32 first).
zt_wine_bin() {
  if [ -x /usr/lib/wine/wine64 ]; then echo /usr/lib/wine/wine64
  elif command -v wine64 >/dev/null; then command -v wine64
  else command -v wine; fi
}

# Runs a long command ($3...) with its output in the log file $2 (-a after
# the log file appends to it) and returns its exit status.  With
# ZT_PROGRESS=1 it says every ZT_PROGRESS_EVERY seconds (15) that step $1 is
# still running, with the highest build percentage the log shows so far.
zt_step() {
  local what="$1" log="$2"; shift 2
  if [ "${1:-}" = "-a" ]; then shift; else : >"$log"; fi
  "$@" >>"$log" 2>&1 &
  local pid=$! start=$SECONDS every="${ZT_PROGRESS_EVERY:-15}" next rc=0 pct
  next=$(( SECONDS + every ))
  while kill -0 "$pid" 2>/dev/null; do
    sleep 0.5
    if [ "${ZT_PROGRESS:-0}" = 1 ] && [ "$SECONDS" -ge "$next" ]; then
      next=$(( SECONDS + every ))
      pct=$(grep -o '^\[ *[0-9]*%\]' "$log" 2>/dev/null | tr -dc '0-9\n' | sort -n | tail -1 || true)
      zt_log "$what: ${pct:+$pct% done, }$(( SECONDS - start )) s so far"
    fi
  done
  wait "$pid" || rc=$?
  return $rc
}

# Configures build/ once and builds every target into it.  The compiler's
# output of this build goes to build.last.log and is then added to
# build.log, which keeps every build's (the first build's warnings too),
# each under a line with its date.
zt_build() {
  local jobs log="$ZT_ROOT/build.last.log" start=$SECONDS what="building" rc=0
  jobs=$(nproc 2>/dev/null || echo 2)
  : >"$log"
  if [ ! -f "$ZT_BUILD/CMakeCache.txt" ]; then
    zt_note "configuring the build in build/"
    zt_step "configuring" "$log" -a env CC=winegcc CXX=wineg++ cmake -S "$ZT_ROOT" -B "$ZT_BUILD" -DCMAKE_BUILD_TYPE=RelWithDebInfo || {
      zt_keep_build_log "$log"; cat "$log" >&2; zt_log "configuring the build failed"; return 1; }
    what="building the program, its libraries, tools and tests (the first build takes some minutes)"
  fi
  zt_note "$what with $jobs jobs; the compiler's output goes to build.log"
  zt_step "building" "$log" -a cmake --build "$ZT_BUILD" -j"$jobs" || rc=$?
  zt_keep_build_log "$log"
  if [ "$rc" -ne 0 ]; then
    grep -E 'error|Error' -A3 "$log" | head -60 >&2; zt_log "build failed (see build.last.log)"; return 1
  fi
  if grep -q 'warning:' "$log"; then
    grep 'warning:' "$log" | sort -u | head -20 >&2
  fi
  if grep -qE 'Building|Linking|Generating' "$log"; then
    zt_note "build done in $(( SECONDS - start )) s"
  else
    zt_note "nothing had changed: the build is up to date ($(( SECONDS - start )) s)"
  fi
}

# Adds a build's output ($1) to build.log under a line with the date.
zt_keep_build_log() {
  { echo "==== $(date '+%Y-%m-%d %H:%M:%S') build in $ZT_BUILD"; cat "$1"; } >>"$ZT_ROOT/build.log"
}

# Counts of a test program's log: sets ZT_OK, ZT_BAD and ZT_SKIPPED from
# gtest's lines ($1 the log, $2 the program's exit status).  A test skipped
# (GTEST_SKIP, with its reason printed) is neither passed nor failed; its
# reason is shown on stderr.
zt_test_counts() {
  local log="$1" rc="$2" run
  ZT_OK=$(grep -c '^\[       OK \]' "$log")
  run=$(grep -c '^\[ RUN      \]' "$log")
  ZT_SKIPPED=$(grep -cE '^\[  SKIPPED \] .*\([0-9]+ ms\)$' "$log")
  ZT_BAD=$(( run - ZT_OK - ZT_SKIPPED ))
  if [ "$rc" -ne 0 ] && [ "$ZT_BAD" -eq 0 ]; then ZT_BAD=1; fi
  if [ "$ZT_SKIPPED" -gt 0 ]; then
    grep -A1 ': Skipped$' "$log" | grep -v -e ': Skipped$' -e '^--$' | sort -u | sed 's/^/  skipped: /' >&2
  fi
  return 0
}

# Wine environment for a prefix folder.
zt_wine_env() {
  export WINEPREFIX="$1"
  export WINEARCH=win64
  export WINEDEBUG="${ZT_WINEDEBUG:--all}"
  export WINEDLLOVERRIDES="mscoree,mshtml="
  export WINEDLLPATH="$ZT_BUILD"
  export LANG=zh_CN.UTF-8 LC_ALL=zh_CN.UTF-8
  ZT_WINE=$(zt_wine_bin)
}

# Prepares a Wine prefix at $1 once (registry settings, fonts).
zt_prefix_prepare() {
  local pfx="$1"
  [ -f "$pfx/.kelmora-ready" ] && return 0
  zt_log "preparing Wine prefix $pfx"
  zt_note "(done once; some seconds)"
  rm -rf "$pfx"; mkdir -p "$pfx"
  ( zt_wine_env "$pfx"
    DISPLAY= "$ZT_WINE" wineboot -i >/dev/null 2>&1
    "$ZT_WINE" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
    "$ZT_WINE" reg add 'HKCU\Software\Wine\X11 Driver' /v Decorated /d N /f >/dev/null 2>&1
    "$ZT_WINE" reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1
    mkdir -p "$pfx/drive_c/windows/Fonts"
    cp /usr/share/wine/fonts/*.ttf "$pfx/drive_c/windows/Fonts/" 2>/dev/null || true
    "$ZT_WINE"server -w 2>/dev/null || wineserver -w 2>/dev/null || true )
  touch "$pfx/.kelmora-ready"
}

# Stops the wineserver of a prefix (only ours).
zt_prefix_stop() {
  ( zt_wine_env "$1"; wineserver -k 2>/dev/null || true )
}

# A free TCP port on loopback.
zt_free_port() {
  local p
  for _ in $(seq 1 200); do
    p=$(( 20000 + RANDOM % 30000 ))
    if ! (exec 3<>/dev/tcp/127.0.0.1/$p) 2>/dev/null; then echo $p; return 0; fi
  done
  return 1
}

# Starts Xvfb on a free display; sets ZT_XVFB_PID and DISPLAY.
zt_xvfb_start() {
  local n
  for n in $(seq 91 190); do
    [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ] && continue
    setsid Xvfb ":$n" -screen 0 1280x800x24 -nolisten tcp >/dev/null 2>&1 &
    ZT_XVFB_PID=$!
    for _ in $(seq 1 50); do
      [ -e "/tmp/.X11-unix/X$n" ] && break
      sleep 0.1
    done
    if kill -0 "$ZT_XVFB_PID" 2>/dev/null && [ -e "/tmp/.X11-unix/X$n" ]; then
      export DISPLAY=":$n"; return 0
    fi
  done
  zt_log "could not start Xvfb"; return 1
}

# Private MariaDB servers.  A data folder DIR holds the server's files, its
# socket DIR/sock, its log DIR/error.log and its PID in DIR/mariadbd.pid
# (written by the server) and DIR/server.pid (written by tools/dbctl).

# True if process $1 exists and has not exited (an exited child that nobody
# has reaped yet still answers kill -0).
zt_pid_alive() {
  local state=""
  kill -0 "$1" 2>/dev/null || return 1
  state=$(sed -n 's/^State:[[:space:]]*\([A-Z]\).*/\1/p' "/proc/$1/status" 2>/dev/null || true)
  [ "$state" != Z ] && [ "$state" != X ]
}

# The data folder a running mariadbd process $1 was started on (empty when
# $1 is no such process).
zt_db_datadir_of() {
  local d
  d=$(tr '\0' '\n' <"/proc/$1/cmdline" 2>/dev/null | sed -n 's/^--datadir=//p' | tail -1 || true)
  [ -n "$d" ] && realpath -m -- "$d"
  return 0
}

# Prints the PID of the live server of data folder $1 (an absolute path),
# taken from its PID files; fails when no live process there serves that
# folder (after kill -9 the files stay behind, and the number may since
# belong to another process).
zt_db_pid() {
  local dir="$1" f pid
  for f in "$dir/mariadbd.pid" "$dir/server.pid"; do
    [ -s "$f" ] || continue
    pid=$(tr -dc '0-9' <"$f")
    [ -n "$pid" ] && zt_pid_alive "$pid" || continue
    if [ "$(zt_db_datadir_of "$pid")" = "$dir" ]; then echo "$pid"; return 0; fi
  done
  return 1
}

# True if a server answers on the socket of data folder $1.
zt_db_ping() {
  mariadb-admin --no-defaults --socket="$1/sock" -uroot --connect-timeout=2 ping >/dev/null 2>&1
}

# The buffer pool a server of data folder $1 needs, in MB: its data and
# indexes (the table files) and a quarter more for what grows, in whole
# 128 MB chunks, at least 256 MB.  The demo data grown to 1,000,000 houses
# holds about 1.3 GB of data and indexes (a pool of 1,920 MB), 160 MB at
# 100,000 houses (384 MB).
zt_db_pool_mb() {
  local bytes mb
  bytes=$(find "$1" -type f \( -name '*.ibd' -o -name 'ibdata*' \) -printf '%s\n' 2>/dev/null |
          awk '{ s += $1 } END { printf "%.0f", s }')
  mb=$(( (${bytes:-0} / 1048576) * 5 / 4 ))
  mb=$(( (mb + 127) / 128 * 128 ))
  [ "$mb" -ge 256 ] || mb=256
  echo "$mb"
}

# Starts a private MariaDB server.  $1 data folder (an absolute path), $2
# port, $3 extra options (after the folder's own, so they may change them).
# Sets ZT_DB_PID.  The data folder is initialised on first use.
zt_db_start() {
  local dir="$1" port="$2" extra="${3:-}"
  # The adaptive hash index makes the row look-ups of an indexed list (5000
  # houses read through a secondary index) about a quarter cheaper.  The
  # buffer pool holds the data and its indexes (zt_db_pool_mb, sized at
  # every start).  Temporary files (a sort too large for memory, a big
  # temporary table) go to the folder's own tmp/, never to the machine's
  # shared /tmp, whose clean-up once removed one in the middle of a sort;
  # tmp/ is no database (--ignore-db-dirs).
  local opts="--no-defaults --lower-case-table-names=1 --character-set-server=gbk --collation-server=gbk_chinese_ci"
  local serveropts="--innodb-adaptive-hash-index=ON"
  if [ ! -d "$dir/mysql" ]; then
    if [ -d "$dir" ] && [ -n "$(ls -A "$dir")" ]; then
      zt_log "$dir is not empty and holds no database; give a new or empty folder"; return 1
    fi
    zt_note "creating a new database folder $dir"
    mkdir -p "$dir"
    # The installer's bootstrap server keeps temporary tables in its tmpdir;
    # installers running side by side in /tmp were seen to delete each
    # other's, so each gets a folder of its own.  A failed attempt is
    # cleared and made once more.
    local attempt ok
    for attempt in 1 2; do
      mkdir -p "$dir.tmp"
      ok=0
      mariadb-install-db $opts --datadir="$dir" --tmpdir="$dir.tmp" --auth-root-authentication-method=normal \
        --skip-test-db --user="$(id -un)" >"$dir.install.log" 2>&1 && ok=1
      rm -rf "$dir.tmp"
      [ "$ok" = 1 ] && break
      # Leave nothing half made behind.
      find "$dir" -mindepth 1 -delete 2>/dev/null || true
      if [ "$attempt" = 2 ]; then
        cat "$dir.install.log" >&2; zt_log "creating the database folder failed"; return 1
      fi
      zt_log "creating the database folder failed (see $dir.install.log); trying once more"
    done
  fi
  # Whatever a killed server left behind.
  rm -f "$dir/mariadbd.pid" "$dir/server.pid"
  mkdir -p "$dir/tmp"
  find "$dir/tmp" -mindepth 1 -delete 2>/dev/null || true
  serveropts="$serveropts --innodb-buffer-pool-size=$(zt_db_pool_mb "$dir")M --ignore-db-dirs=tmp"
  setsid mariadbd $opts $serveropts --sql-mode=NO_ENGINE_SUBSTITUTION --datadir="$dir" --tmpdir="$dir/tmp" \
    --socket="$dir/sock" --port="$port" \
    --bind-address=127.0.0.1 --skip-name-resolve --user="$(id -un)" \
    --pid-file="$dir/mariadbd.pid" --log-error="$dir/error.log" $extra >/dev/null 2>&1 &
  ZT_DB_PID=$!
  # A server that was killed recovers its tables first: allow a minute.
  # setsid forks when its caller leads a process group (a shell started
  # with job control, or by Wine for a Windows program): the server then
  # runs under another PID, found in its PID file; its launcher is given
  # two seconds to be followed before it counts as failed.
  local pid gone=0
  for _ in $(seq 1 600); do
    if zt_db_ping "$dir"; then
      pid=$(zt_db_pid "$dir") && ZT_DB_PID=$pid
      return 0
    fi
    if ! zt_pid_alive "$ZT_DB_PID"; then
      if pid=$(zt_db_pid "$dir"); then
        ZT_DB_PID=$pid
      else
        gone=$((gone + 1))
        [ "$gone" -ge 20 ] && break
      fi
    fi
    sleep 0.1
  done
  tail -20 "$dir/error.log" >&2; zt_log "database server did not start"; return 1
}

# Stops the server of data folder $1 (an absolute path) if one runs there.
zt_db_stop() {
  local dir="$1" pid
  if pid=$(zt_db_pid "$dir"); then
    zt_stop_pid "$pid" 600
  elif zt_db_ping "$dir"; then
    # Running, but not started by this tool (or its PID files are gone).
    mariadb-admin --no-defaults --socket="$dir/sock" -uroot shutdown >/dev/null 2>&1 || {
      zt_log "the server of $dir runs but cannot be stopped from here"; return 1; }
  fi
  rm -f "$dir/server.pid"
}

# Stops process $1: SIGTERM, then SIGKILL after $2 tenths of a second (100).
zt_stop_pid() {
  local pid="$1" tenths="${2:-100}"
  [ -n "$pid" ] || return 0
  kill "$pid" 2>/dev/null || return 0
  for _ in $(seq 1 "$tenths"); do zt_pid_alive "$pid" || return 0; sleep 0.1; done
  kill -9 "$pid" 2>/dev/null || true
}

# Brings up a throwaway environment for tests and benchmarks: a database
# server with its binary log on, a virtual display, a copy of the prepared
# Wine prefix with its wineserver.  Exports the ZT_TEST_* variables the
# programs read.  zt_env_down stops exactly what zt_env_up started.
zt_env_up() {
  ZT_ENV_TMP=$(mktemp -d /tmp/kelmora-env.XXXXXX)
  ZT_ENV_DB="$ZT_ENV_TMP/db"
  ZT_XVFB_PID=""
  local port
  port=$(zt_free_port) || return 1
  export ZT_TEST_DB_OPTS="--log-bin=kelmora-bin --server-id=1"
  "$ZT_ROOT/tools/dbctl" start "$ZT_ENV_DB" "$port" $ZT_TEST_DB_OPTS || return 1
  if [ -z "${ZT_KEEP_DISPLAY:-}" ] || [ -z "${DISPLAY:-}" ]; then
    zt_xvfb_start || return 1
  fi
  zt_prefix_prepare "$ZT_BUILD/wineprefix-template" || return 1
  cp -a "$ZT_BUILD/wineprefix-template" "$ZT_ENV_TMP/prefix"
  zt_wine_env "$ZT_ENV_TMP/prefix"
  wineserver -p 2>/dev/null
  export ZT_TEST_DB_PORT="$port"
  export ZT_TEST_DB_SOCKET="$ZT_ENV_DB/sock"
  export ZT_TEST_DB_USER=root
  export ZT_TEST_DB_DATADIR="$ZT_ENV_DB"
  export ZT_TEST_DBCTL="$ZT_ROOT/tools/dbctl"
  export ZT_TEST_SHOTS="$ZT_BUILD/test-shots"
  export ZT_ROOT
  mkdir -p "$ZT_TEST_SHOTS" "$ZT_BUILD/test-logs"
}

zt_env_down() {
  [ -n "${WINEPREFIX:-}" ] && wineserver -k 2>/dev/null
  [ -n "${ZT_ENV_DB:-}" ] && "$ZT_ROOT/tools/dbctl" stop "$ZT_ENV_DB" 2>/dev/null
  zt_stop_pid "${ZT_XVFB_PID:-}"
  [ -n "${ZT_ENV_TMP:-}" ] && rm -rf "$ZT_ENV_TMP"
  return 0
}
