# The case runner of the scripts' checks (tools/checks/test_*.sh), sourced
# by each: they report like the test programs, one "[ RUN      ]" line per
# case and "[       OK ]" or "[  FAILED  ]" after it, and take
# --gtest_filter=PATTERN[:PATTERN...] (shell patterns) to select cases.
#   source "$(dirname "$0")/cases.sh" "$@"
#   ZT_CASE_PREFIX=Suite; run_case FunctionName
# A case adds what went wrong to the array failures (expect_eq does).

ZT_CASE_FILTER="*"
for a in "$@"; do
  case "$a" in --gtest_filter=*) ZT_CASE_FILTER="${a#--gtest_filter=}"; ZT_CASE_FILTER="${ZT_CASE_FILTER%%-*}"; [ -n "$ZT_CASE_FILTER" ] || ZT_CASE_FILTER="*" ;; esac
done

failures=()
expect_eq() {   # EXPECTED ACTUAL WHAT
  [ "$1" = "$2" ] || failures+=("$3: expected '$1', got '$2'")
}

run_case() {
  local name="${ZT_CASE_PREFIX:-Check}.$1" p matched="" patterns
  IFS=: read -ra patterns <<<"$ZT_CASE_FILTER"
  for p in "${patterns[@]}"; do [[ "$name" == $p ]] && matched=1; done
  [ -n "$matched" ] || return 0
  echo "[ RUN      ] $name"
  failures=()
  local start=$SECONDS
  "$1"
  if [ ${#failures[@]} -eq 0 ]; then
    echo "[       OK ] $name ($(( SECONDS - start )) s)"
  else
    printf '  %s\n' "${failures[@]}"
    echo "[  FAILED  ] $name (${failures[0]})"
  fi
}
