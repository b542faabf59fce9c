#!/usr/bin/env bash
# Drives the launcher through bad input and faults as a hostile user would: every option with
# values out of its range, books that cannot be read, and a full disk for every output. Each case
# must end with a message and a non-zero exit, leave the book as it was and any old output intact.
#
#   check_launcher.sh FINGRAF
set -uo pipefail
fingraf=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export QT_QPA_PLATFORM=offscreen XDG_CONFIG_HOME="$work/config" XDG_RUNTIME_DIR="$work"

book="$work/book.sqlite"
"$fingraf" demo "$book" >/dev/null 2>&1 || { echo "the demo book could not be made"; exit 1; }
sum_before=$(sha256sum "$book" | cut -d' ' -f1)
cases=0
failures=0

fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}

# expect CODE WHAT -- ARGS...: the run exits with CODE (or any non-zero for "nz") and says something
expect() {
  local code=$1 what=$2
  shift 3
  cases=$((cases + 1))
  local err rc
  err=$("$fingraf" "$@" 2>&1 >/dev/null)
  rc=$?
  if [ "$code" = nz ]; then
    [ $rc -ne 0 ] || fail "$what: exit 0"
  else
    [ $rc -eq "$code" ] || fail "$what: exit $rc, expected $code"
  fi
  echo "$err" | grep -qv -e '^QStandardPaths' -e 'propagateSizeHints' -e '^$' || fail "$what: no message"
}

# Options out of their range, refused before a window opens (exit 2, naming the option).
for option in firma godina od do mj-od mj-do iznos tip skala; do
  for value in abc -5 99999999999 1e308 "" "1;DROP TABLE KONTO"; do
    expect 2 "--$option=$value" -- promet --conn "$book" "--$option=$value" --csv "$work/o.csv"
  done
done
for option in csv png svg pdf screenshot xlsx ispis izvjestaj; do
  expect 2 "--$option empty" -- promet --conn "$book" --konto 120 "--$option="
done
for table in "PROMET; DROP TABLE KONTO; --" "PROMET'" "" "dbo.PROMET"; do
  expect 2 "--tablica $table" -- promet --conn "$book" --tablica "$table" --csv "$work/o.csv"
done
for scale in 0 -1 abc 99999; do
  expect 2 "demo --scale $scale" -- demo "--scale=$scale" "$work/scaled.sqlite"
done
expect 2 "--vrsta X" -- prihodi --conn "$book" --definiraj PrihodiP --vrsta X
expect 2 "--translacija 7" -- prihodi --conn "$book" --prepisi 2025 --translacija 7
for year in abc 1999 2101 "" "2025; DROP TABLE KONTO"; do
  expect 2 "--prepisi $year" -- prihodi --conn "$book" --prepisi "$year"
done
# A definition save replaces the group's accounts of the year: only when asked for plainly.
expect 2 "--definiraj without --konta" -- prihodi --conn "$book" --definiraj PrihodiP
expect 2 "--definiraj without the kind letter" -- prihodi --conn "$book" --definiraj prihodip --konta 7500
expect 2 "--definiraj of no group" -- prihodi --conn "$book" --definiraj NemaTakveP --konta 7500
expect 2 "--definiraj --konta empty" -- prihodi --conn "$book" --definiraj PrihodiP --konta ""
for name in "" "   " "$(printf 'A\tB')" "$(printf '%031d' 0)"; do
  expect 2 "--naziv '$name'" -- prihodi --conn "$book" --definiraj PrihodiP --naziv "$name"
done
for out in png csv izvjestaj-grupa prepisi; do
  expect 2 "--definiraj with --$out" -- prihodi --conn "$book" --definiraj PrihodiP --konta 7500 "--$out" 2025
done
expect 1 "rename onto an existing group" -- prihodi --conn "$book" --definiraj "Prihodi od prodajeP" --naziv Prihodi

# Carry-over on copies of the book: each (group, account) of the year once, whatever is run.
last=$(sqlite3 "$book" "SELECT max(GODINAKNJ) FROM PROMET")
twice() { sqlite3 "$1" "SELECT count(*) FROM (SELECT 1 FROM FINPRIHRASH WHERE Godina=$last GROUP BY BrojPoduzeca, ImeGrupe, Konto HAVING count(*) > 1)"; }
carry() { "$fingraf" prihodi --conn "$1" --godina "$last" --prepisi $((last - 1)) "${@:2}" >"$work/carry.out" 2>&1; }
cp "$book" "$work/carry.sqlite"
sqlite3 "$work/carry.sqlite" "DELETE FROM FINPRIHRASH WHERE Godina=$last"
cases=$((cases + 1))
carry "$work/carry.sqlite" && first=$(sqlite3 "$work/carry.sqlite" "SELECT count(*) FROM FINPRIHRASH WHERE Godina=$last") &&
  carry "$work/carry.sqlite" || fail "carry-over run twice: $(cat "$work/carry.out")"
[ "$(sqlite3 "$work/carry.sqlite" "SELECT count(*) FROM FINPRIHRASH WHERE Godina=$last")" = "${first:-x}" ] ||
  fail "carry-over run twice: rows added again"
cases=$((cases + 1))
cp "$book" "$work/carry.sqlite"
carry "$work/carry.sqlite" || fail "carry-over into a year with groups: $(cat "$work/carry.out")"
[ "$(twice "$work/carry.sqlite")" = 0 ] || fail "carry-over into a year with groups: rows twice"
cases=$((cases + 1))
cp "$book" "$work/carry.sqlite"
sqlite3 "$work/carry.sqlite" "DELETE FROM FINPRIHRASH WHERE Godina=$last"
carry "$work/carry.sqlite" & carry "$work/carry.sqlite"; wait
[ "$(twice "$work/carry.sqlite")" = 0 ] || fail "two carry-overs at once: rows twice"
[ "$(sqlite3 "$work/carry.sqlite" "SELECT count(*) FROM FINPRIHRASH WHERE Godina=$last")" -gt 0 ] ||
  fail "two carry-overs at once: nothing copied"
cases=$((cases + 1))
cp "$book" "$work/carry.sqlite"
sqlite3 "$work/carry.sqlite" "DELETE FROM FINPRIHRASH WHERE Godina=$last; UPDATE KONTO SET SifKonta1=NULL WHERE GODINAKNJ=$((last - 1)) AND SIFKONTA='7600'"
carry "$work/carry.sqlite" --translacija 1 || fail "carry-over with a code missing: $(cat "$work/carry.out")"
[ "$(sqlite3 "$work/carry.sqlite" "SELECT count(*) FROM FINPRIHRASH WHERE Konto IS NULL OR Konto=''")" = 0 ] ||
  fail "carry-over with a code missing: rows without an account"
grep -q "Prihodi: 7600" "$work/carry.out" || fail "carry-over with a code missing: 7600 not named"

# Books that cannot be read.
mkdir "$work/folder.sqlite"
: >"$work/zero.sqlite"
echo "nije knjiga" >"$work/text.sqlite"
cp "$book" "$work/corrupt.sqlite"
head -c 2000000 /dev/urandom | dd of="$work/corrupt.sqlite" bs=4096 seek=1 conv=notrunc status=none
for b in missing.sqlite folder.sqlite zero.sqlite text.sqlite corrupt.sqlite; do
  expect nz "book $b" -- promet --conn "$work/$b" --csv "$work/o.csv"
done
# another program holds the book locked for as long as its input stays open
cp "$book" "$work/locked.sqlite"
mkfifo "$work/lock"
sqlite3 "$work/locked.sqlite" <"$work/lock" >/dev/null 2>&1 &
locker=$!
exec 3>"$work/lock"
echo "BEGIN EXCLUSIVE; UPDATE CONFIG SET NazivFirme=NazivFirme;" >&3
sleep 1
expect nz "book locked longer than the timeout" -- promet --conn "$work/locked.sqlite" --konto 120 --csv "$work/o.csv"
exec 3>&-
wait $locker 2>/dev/null
# amounts beyond what a chart can draw
cp "$book" "$work/huge.sqlite"
sqlite3 "$work/huge.sqlite" "UPDATE PROMET SET DUG01=1.7e308 WHERE BROJPODUZECA=1 AND SINTKONTO='1200'"
expect nz "amounts of 1.7e308" -- promet --conn "$work/huge.sqlite" --konto 1200 --csv "$work/o.csv"
# a node the tree does not have
expect nz "account not in the tree" -- promet --conn "$book" --konto 777 --csv "$work/o.csv"

# A full disk for every output: the old file stays as it was and nothing is left beside it.
outputs=(png svg pdf csv screenshot xlsx ispis izvjestaj)
for out in "${outputs[@]}"; do
  dir="$work/full-$out"
  mkdir "$dir"
  echo "stara datoteka" >"$dir/old.$out"
  cases=$((cases + 1))
  err=$( (ulimit -f 0; "$fingraf" promet --conn "$book" --konto 1200 "--$out" "$dir/old.$out") 2>&1 >/dev/null)
  rc=$?
  [ $rc -ne 0 ] || fail "full disk --$out: exit 0"
  echo "$err" | grep -q "Desila se greška" || fail "full disk --$out: no 'Desila se greška' message"
  [ "$(cat "$dir/old.$out")" = "stara datoteka" ] || fail "full disk --$out: the old file changed"
  [ "$(ls -A "$dir" | wc -l)" -eq 1 ] || fail "full disk --$out: left $(ls -A "$dir" | tr '\n' ' ')"
done

cases=$((cases + 1))
[ "$(sha256sum "$book" | cut -d' ' -f1)" = "$sum_before" ] || fail "the book changed"
echo "$cases cases, $failures failed"
[ $failures -eq 0 ]
