#!/usr/bin/env bash
# The processor test's long double arithmetic stays on the x87 unit in a
# Windows build (its instructions read ten-byte operands), as in the program
# the test was made for:
#   tests/checks/workloads_x87.sh OBJDUMP OBJECT-FILES...
# Reads the workloads' object file among those given (CMake's list of a
# library's objects comes as one argument, separated by semicolons).
set -uo pipefail
objdump=$1
shift
IFS=';' read -ra objects <<<"$*"
for object in "${objects[@]}"; do
  case "$object" in
    */workloads.cpp.obj | */workloads.cpp.o)
      if "$objdump" -d --no-show-raw-insn -M intel "$object" | grep -qE 'f(ld|stp)\s+TBYTE PTR'; then
        echo "the processor workload computes on the x87 unit"
        exit 0
      fi
      echo "the processor workload does not use the x87 unit's long double" >&2
      exit 1
      ;;
  esac
done
echo "no object file of the workloads among: $*" >&2
exit 1
