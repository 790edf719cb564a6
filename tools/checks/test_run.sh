#!/usr/bin/env bash
# Check of tools/run without a display, run by tools/test like a test
# program ("[ RUN      ]" and "[       OK ]" or "[  FAILED  ]" per case).  It
# runs the script as a newcomer does, in a temporary KELMORA_HOME with a
# database server of its own, and stops what that run left running.
set -uo pipefail
source "$(dirname "$0")/../lib.sh"
source "$(dirname "$0")/cases.sh" "$@"
ZT_CASE_PREFIX=Run

home=$(mktemp -d "${ZT_TEST_WORKDIR:-/tmp}/run.XXXXXX")
cleanup() {
  "$ZT_ROOT/tools/dbctl" stop "$home/var/db" >/dev/null 2>&1
  [ -d "$home/var/wineprefix" ] && zt_prefix_stop "$home/var/wineprefix"
  rm -rf "$home"
}
trap cleanup EXIT
trap 'exit 1' TERM INT

sql() { mariadb --no-defaults --socket="$home/var/db/sock" -uroot -N -B kelmora -e "$1" 2>&1; }

# The README's first command on a machine without a display: it sets up the
# database with the demo data, logs in as 管理员 under a virtual display,
# takes its screenshot and ends with success; a user who then logs in as
# 管理员 still gets today's reminder.
HeadlessRunSucceedsAndLeavesTheDataAsItWas() {
  mkdir -p "$home/var"
  # A port of its own (the project's server may hold 33066), and the
  # prepared prefix of the tests instead of a new one (quicker).
  zt_free_port > "$home/var/db.port"
  if [ -f "$ZT_BUILD/wineprefix-template/.kelmora-ready" ]; then
    cp -a "$ZT_BUILD/wineprefix-template" "$home/var/wineprefix"
  fi
  ( unset DISPLAY WINEPREFIX WINEDLLPATH
    cd "$home" && KELMORA_HOME="$home" ZT_PROGRESS=0 timeout 900 "$ZT_ROOT/tools/run" ) >"$home/run.log" 2>&1
  local rc=$?
  expect_eq 0 "$rc" "exit status of tools/run (its output: $(tail -3 "$home/run.log" | tr '\n' ' '))"
  grep -q 'Kelmora ran under a virtual display' "$home/run.log" || failures+=("tools/run did not say the program ran")
  [ -s "$home/var/screenshot.png" ] || failures+=("no screenshot in var/")
  [ -s "$home/config.ini" ] || failures+=("no config.ini in KELMORA_HOME")
  # The program logged in as 管理员 (an operation-log row of the login) ...
  expect_eq 1 "$(sql 'select count(*) > 0 from t_log where iAct = 4 and iOpEmp = 1')" "the scripted login in the operation log"
  # ... and the reminder due today for 管理员 is not acknowledged.
  expect_eq 1 "$(sql 'select count(*) > 0 from t_remind where dRemind = curdate() and (iEmp = 1 or iBr = 1)')" "a reminder due today"
  expect_eq 0 "$(sql 'select count(*) from t_reminddated where iEmp = 1')" "reminders acknowledged for 管理员"
}

run_case HeadlessRunSucceedsAndLeavesTheDataAsItWas
