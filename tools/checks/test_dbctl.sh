#!/usr/bin/env bash
# Checks of tools/dbctl against real servers on loopback, run by tools/test
# like a test program: one "[ RUN      ]" line per case and "[       OK ]"
# or "[  FAILED  ]" after it.  --gtest_filter=PATTERN[:PATTERN...] (shell
# patterns) selects cases as it does for the test programs.
set -uo pipefail
source "$(dirname "$0")/../lib.sh"
source "$(dirname "$0")/cases.sh" "$@"
ZT_CASE_PREFIX=Dbctl
dbctl="$ZT_ROOT/tools/dbctl"

work=$(mktemp -d "${ZT_TEST_WORKDIR:-/tmp}/dbctl.XXXXXX")
data="$work/data"
port=$(zt_free_port) || { echo "no free port"; exit 1; }
trap '"$dbctl" stop "$data" >/dev/null 2>&1; rm -rf "$work"' EXIT
trap 'exit 1' TERM INT

sql() { mariadb --no-defaults --socket="$data/sock" -uroot -N -B -e "$1" 2>&1; }
server_pid() { tr -dc '0-9' <"$data/mariadbd.pid" 2>/dev/null; }
# The row each case expects to survive what the server goes through.
keep_row() {
  sql "create database if not exists kept; create table if not exists kept.t (i int) engine=InnoDB;
       insert into kept.t select 41 from dual where not exists (select * from kept.t)" >/dev/null
}
# The server of the check's data folder, running with its row.
server_up() {
  "$dbctl" start "$data" "$port" --max-connections=77 >/dev/null 2>&1
  keep_row
}

# A data folder named relative to the current folder, started from one
# folder and stopped from another; a new folder is created on first start.
RelativeFolderStartsAndStopsFromAnyFolder() {
  ( cd "$work" && "$dbctl" start data "$port" --max-connections=77 ) >/dev/null 2>&1
  expect_eq 0 $? "start data"
  expect_eq "$port	77" "$(sql 'select @@port, @@max_connections')" "port and option of the new server"
  keep_row
  local pid
  pid=$(server_pid)
  mkdir -p "$work/elsewhere"
  ( cd "$work/elsewhere" && "$dbctl" stop ../data ) >/dev/null 2>&1
  expect_eq 0 $? "stop ../data"
  zt_pid_alive "${pid:-0}" && failures+=("the server still runs after stop")
  expect_eq stopped "$( cd / && "$dbctl" status "${data#/}" 2>&1 )" "status from another folder"
}

# After kill -9 the PID files, the socket and the lock files stay behind; a
# start right away brings the server up again with its data.
StartAfterTheServerWasKilled() {
  server_up
  local pid
  pid=$(server_pid)
  kill -9 "${pid:-0}"
  "$dbctl" start "$data" "$port" --max-connections=77 >/dev/null 2>&1
  expect_eq 0 $? "start after kill -9"
  [ "$(server_pid)" != "$pid" ] || failures+=("no new server was started")
  expect_eq 41 "$(sql 'select i from kept.t')" "data after kill -9"
}

# restart: a running server stops and starts again with the port and options
# of its start; a stopped or killed one just starts.
RestartKeepsPortAndOptions() {
  server_up
  local pid
  pid=$(server_pid)
  ( cd "$work" && "$dbctl" restart data ) >/dev/null 2>&1
  expect_eq 0 $? "restart of a running server"
  [ "$(server_pid)" != "$pid" ] || failures+=("restart kept the old server")
  zt_pid_alive "${pid:-0}" && failures+=("the old server still runs after restart")
  expect_eq "$port	77	41" "$(sql 'select @@port, @@max_connections, i from kept.t')" "after restart"

  kill -9 "$(server_pid)"
  "$dbctl" restart "$data" >/dev/null 2>&1
  expect_eq "$port	77" "$(sql 'select @@port, @@max_connections')" "restart after kill -9"

  "$dbctl" stop "$data" >/dev/null 2>&1
  "$dbctl" restart "$data" >/dev/null 2>&1
  expect_eq "$port	77" "$(sql 'select @@port, @@max_connections')" "restart of a stopped server"
}

# The buffer pool is sized for the folder's data and indexes (256 MB at
# least, a quarter more than the table files, in 128 MB chunks; an option
# given to start wins), and temporary files go to the folder's own tmp/,
# which is no database.
ServerIsSizedForItsDataAndKeepsItsTemporaryFilesInItsFolder() {
  server_up
  expect_eq "$((256 * 1048576))	$data/tmp" "$(sql 'select @@innodb_buffer_pool_size, @@tmpdir')" "pool and tmpdir"
  expect_eq "" "$(sql 'show databases like "tmp"')" "tmp/ listed as a database"
  # A sort too large for its buffer spills into tmp/ and succeeds.
  expect_eq "1 1" "$(sql 'set session sort_buffer_size = 32768;
    select (select md5(seq) x from kept.seq_1_to_20000 order by x limit 1 offset 19999) =
           (select max(md5(seq)) from kept.seq_1_to_20000);
    select variable_value > 0 from information_schema.session_status where variable_name = "SORT_MERGE_PASSES"' |
    tr '\n' ' ' | sed 's/ $//')" "a sort through temporary files (right, and merged from them)"
  "$dbctl" stop "$data" >/dev/null 2>&1
  "$dbctl" start "$data" "$port" --innodb-buffer-pool-size=384M >/dev/null 2>&1
  expect_eq "$((384 * 1048576))" "$(sql 'select @@innodb_buffer_pool_size')" "pool given to start"
  "$dbctl" stop "$data" >/dev/null 2>&1
  local fake="$work/fake"
  mkdir -p "$fake/kelmora"
  truncate -s 1000M "$fake/kelmora/t_house.ibd"
  truncate -s 12M "$fake/ibdata1"
  truncate -s 500M "$fake/ib_logfile0"
  expect_eq 1280 "$(zt_db_pool_mb "$fake")" "pool for 1012 MB of table files"
  expect_eq 256 "$(zt_db_pool_mb "$work/none")" "pool for an empty folder"
  rm -rf "$fake"
}

run_case RelativeFolderStartsAndStopsFromAnyFolder
run_case StartAfterTheServerWasKilled
run_case RestartKeepsPortAndOptions
run_case ServerIsSizedForItsDataAndKeepsItsTemporaryFilesInItsFolder
