#!/usr/bin/env bash
# The stage list is said once, in scripts/test: ARCHITECTURE.md's Tests table names the same
# stages in the same order, and every suite of tests/web; README.md sends its reader there.
set -euo pipefail
harness_name=stages
. "$(dirname "$0")/../../scripts/lib.sh"
cd "$tarnwick_root"

# The first column of the table after "`scripts/test` runs:", its heading and rule left out.
rows=$(awk '/`scripts\/test` runs:/ {on = 1; next} on && /^\|/ {seen = 1; print; next} seen {exit}' ARCHITECTURE.md |
  tail -n +3 | cut -d'|' -f2 | tr -d '`' | sed 's/^ *//; s/ *$//')
[ -n "$rows" ] || fail "no table after \"\`scripts/test\` runs:\" in ARCHITECTURE.md"
suites=$(grep '\.test\.mjs$' <<< "$rows" || true)
listed=$(grep -v '\.test\.mjs$' <<< "$rows" || true)
diff <(scripts/test --list) <(echo "$listed") > /dev/null ||
  fail "ARCHITECTURE.md's Tests table lists other stages than scripts/test (< scripts/test, > the table):
$(diff <(scripts/test --list) <(echo "$listed"))"
diff <(cd tests/web && ls -- *.test.mjs) <(sort <<< "$suites") > /dev/null ||
  fail "ARCHITECTURE.md's Tests table lists other suites than tests/web holds:
$(diff <(cd tests/web && ls -- *.test.mjs) <(sort <<< "$suites"))"
while read -r stage; do
  command=${stage%% *}
  case "$command" in */*) [ -x "$command" ] || fail "the stage \"$stage\" names no program $command" ;; esac
done < <(scripts/test --list)
grep -q '(each stage: `ARCHITECTURE.md`, Tests)' README.md || fail "README.md does not send its reader to ARCHITECTURE.md's stages"
say "$(scripts/test --list | wc -l) stages and $(wc -l <<< "$suites") web suites, said once"
