#!/usr/bin/env bash
# Reads the .mdb files win32_end_to_end_test left in FOLDER with the native
# mdbtools, the judge that owes nothing to our engine: the three sample
# tables, their row counts and some of their values. wizard.mdb is Access
# 2000 (Unicode text), replay.mdb Access 95/97.
#   check_end_to_end.sh FOLDER
# Exit 77 (skipped) when mdbtools is missing or the Windows test made no
# files (no display).
set -uo pipefail
folder="$1"
for tool in mdb-tables mdb-count mdb-export; do
  command -v "$tool" >/dev/null || { echo "no $tool: skipped"; exit 77; }
done
[ -f "$folder/wizard.mdb" ] || [ -f "$folder/replay.mdb" ] || { echo "no files: skipped"; exit 77; }

failures=0
fail() { echo "FAIL $file: $*"; failures=$((failures + 1)); }
expect_row() {  # TABLE LINE: the CSV export of TABLE has this exact line
  mdb-export -T '%Y-%m-%d %H:%M:%S' "$file" "$1" | tr -d '\r' | grep -qxF -- "$2" ||
    fail "$1 has no row $2"
}

check() {
  file="$folder/$1"
  [ -f "$file" ] || { fail "missing"; return; }
  local tables
  tables="$(mdb-tables -1 "$file" | sort | tr '\n' ' ')"
  [ "$tables" = "DEPARTMENTS EMPLOYEES SALARIES " ] || fail "tables are: $tables"
  for expected in DEPARTMENTS:4 EMPLOYEES:5 SALARIES:6; do
    local table="${expected%%:*}" rows="${expected##*:}" count
    count="$(mdb-count "$file" "$table")"
    [ "$count" = "$rows" ] || fail "$table has $count rows, not $rows"
  done
  expect_row DEPARTMENTS '20,"Research","Göteborg",1250000.5'
  expect_row DEPARTMENTS '40,"Sales",,'
  expect_row EMPLOYEES '104,"José","Núñez","jose@example.com","2019-04-15 00:00:00",,40,100'
  expect_row EMPLOYEES '103,"Grace","Hopper","grace@example.com","1987-12-09 09:30:00",,20,101'
  expect_row SALARIES '101,"2001-02-05 00:00:00",3900.25,,"DKK"'
}

check wizard.mdb
expect_row DEPARTMENTS '30,"研发部","北京",880000.75'  # Jet 3 text has no room for these
check replay.mdb
[ "$failures" -eq 0 ] && echo "mdbtools reads both files as converted"
[ "$failures" -eq 0 ]
