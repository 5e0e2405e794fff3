# Adds up CTest's results: count_ctest_logs LOG... prints
# "passed failed skipped" over the logs of `ctest` runs; tests that skipped
# themselves count as skipped. Fails when a log has no CTest summary (the
# run did not get that far), counting it as one failure.
count_ctest_logs() {
  local passed=0 failed=0 skipped=0 log line total bad skips status=0
  for log in "$@"; do
    line=$(grep -E "tests passed, [0-9]+ tests failed out of [0-9]+" "$log" 2>/dev/null | tail -1)
    if [ -z "$line" ]; then
      failed=$((failed + 1))
      status=1
      continue
    fi
    total=$(sed -E 's/.*out of ([0-9]+).*/\1/' <<<"$line")
    bad=$(sed -E 's/.*tests passed, ([0-9]+) tests failed.*/\1/' <<<"$line")
    skips=$(grep -cE '^\s+[0-9]+ - .* \(Skipped\)$' "$log")
    passed=$((passed + total - bad - skips))
    failed=$((failed + bad))
    skipped=$((skipped + skips))
  done
  echo "$passed $failed $skipped"
  return $status
}
