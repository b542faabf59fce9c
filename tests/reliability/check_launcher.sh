#!/usr/bin/env bash
# Drives the launcher through bad input and faults as a hostile user would: every option with
# values out of its range, books that cannot be read, and a full disk for every output. Each case
# must end with a message and a non-zero exit, leave the book as it was and any old output intact.
# Then the launcher as scripts and people use it: without a display, quiet when it succeeds, one
# clear cause when it cannot, every value checked, its help and manual, its progress on a
# terminal, and nothing left behind when a signal ends it.
#
#   check_launcher.sh FINGRAF
set -uo pipefail
fingraf=$1
man_page=$(dirname "$0")/../../app/fingraf.1
work=$(mktemp -d)
trap 'chattr -i "$work/readonly" 2>/dev/null; rm -rf "$work"' EXIT
export QT_QPA_PLATFORM=offscreen XDG_CONFIG_HOME="$work/config" XDG_RUNTIME_DIR="$work"
export XDG_DATA_HOME="$work/data"

# The book is made for this year and the windows open on this year, as a host does: started in
# the last minutes of a year, the check waits for the next, so that the year does not turn under it.
left=$(($(date -d "$(date +%Y)-12-31 23:59:59" +%s) - $(date +%s) + 2))
if [ "$left" -le 300 ]; then
  echo "note: waiting ${left}s for the new year"
  sleep "$left"
fi

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
  echo "$err" | grep -v -e '^QStandardPaths' -e 'propagateSizeHints' -e '^$' >/dev/null || fail "$what: no message"
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
  echo "$err" | grep "Desila se greška" >/dev/null || fail "full disk --$out: no 'Desila se greška' message"
  [ "$(cat "$dir/old.$out")" = "stara datoteka" ] || fail "full disk --$out: the old file changed"
  [ "$(ls -A "$dir" | wc -l)" -eq 1 ] || fail "full disk --$out: left $(ls -A "$dir" | tr '\n' ' ')"
done

# ---- The launcher as scripts and people use it.
# run MODE -- ARGS: runs the launcher (MODE "bare": with no display, no platform and no runtime
# folder set, as from cron or a plain ssh session), at most a minute; sets rc, out and err.
run() {
  local mode=$1
  shift 2
  if [ "$mode" = bare ]; then
    env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM -u XDG_RUNTIME_DIR \
      timeout 60 "$fingraf" "$@" >"$work/out" 2>"$work/err"
  else
    timeout 60 "$fingraf" "$@" >"$work/out" 2>"$work/err"
  fi
  rc=$?
  out=$(cat "$work/out")
  err=$(cat "$work/err")
}
case_() {
  cases=$((cases + 1))
  name=$1
}
said() { echo "$err" | head -4 | tr '\n' '|'; }
want_rc() { [ "$rc" -eq "$1" ] || fail "$name: exit $rc, expected $1 ($(said))"; }
want_quiet() { [ -z "$err" ] || fail "$name: stderr not empty: $(said)"; }
want_err() { grep -qE -- "$1" <<<"$err" || fail "$name: stderr lacks /$1/: $(said)"; }
want_no_err() { grep -qE -- "$1" <<<"$err" && fail "$name: stderr has /$1/: $(said)"; }
want_first() { head -1 <<<"$err" | grep -E -- "$1" >/dev/null || fail "$name: first line not /$1/: $(said)"; }
want_lines() {
  [ "$(printf '%s' "$err" | grep -c '')" -eq "$1" ] || fail "$name: $(printf '%s' "$err" | grep -c '') lines on stderr, expected $1: $(said)"
}
cause_of() { perl -e '$! = $ARGV[0]; print "$!"' "$1"; } # the system's words for an errno

# 1. Work that shows no window needs no display.
case_ "demo without a display"
run bare -- demo "$work/bare.sqlite"
want_rc 0
want_quiet
[ -f "$work/bare.sqlite" ] || fail "$name: no book made"
case_ "summary without a display"
run bare -- sazetak "$work/bare.sqlite"
want_rc 0
want_quiet
case_ "summary checked against the rows"
run bare -- sazetak --provjeri "$work/bare.sqlite"
want_rc 0
want_quiet
grep -q "jednak je prometu" <<<"$out" || fail "$name: stdout: $out"
case_ "a drifted summary named key by key, then rebuilt"
cp "$work/bare.sqlite" "$work/drift.sqlite"
sqlite3 "$work/drift.sqlite" "UPDATE PROMET_SAZETAK SET SAZ_ZBROJ_DUG01 = SAZ_ZBROJ_DUG01 + 0.45 WHERE SINTKONTO = '1200' AND BROJPODUZECA = 1 AND GODINAKNJ = (SELECT max(GODINAKNJ) FROM PROMET)"
run bare -- sazetak --provjeri "$work/drift.sqlite"
want_rc 1
grep -q 'ključeva: 1' <<<"$out" && grep -q 'konto "1200": DUG01 ' <<<"$out" || fail "$name: stdout: $out"
run bare -- sazetak --obnovi "$work/drift.sqlite"
want_rc 0
grep -q "obnovljen za: PROMET, PROMETMT" <<<"$out" || fail "$name: --obnovi said: $out"
run bare -- sazetak --provjeri "$work/drift.sqlite"
want_rc 0
case_ "check and rebuild asked together"
run bare -- sazetak --provjeri --obnovi "$work/drift.sqlite"
want_rc 2
want_err "ne idu zajedno"
case_ "a book without a summary cannot be checked"
cp "$work/bare.sqlite" "$work/nosum.sqlite"
sqlite3 "$work/nosum.sqlite" "DROP TABLE PROMET_SAZETAK"
run bare -- sazetak --provjeri "$work/nosum.sqlite"
want_rc 1
want_err "nema sažetka prometa"
case_ "group definition without a display"
run bare -- prihodi --conn "$work/bare.sqlite" --definiraj PrihodiP --konta 7500,7501 --vrsta S
want_rc 0
want_quiet
[ "$(sqlite3 "$work/bare.sqlite" "SELECT count(*) FROM FINPRIHRASH WHERE ImeGrupe='PrihodiS'")" -gt 0 ] ||
  fail "$name: the definition was not saved"
case_ "carry-over without a display"
run bare -- prihodi --conn "$work/bare.sqlite" --godina "$last" --prepisi $((last - 1)) --translacija 0
want_rc 0
want_quiet
case_ "a window without a display is refused with a message"
run bare -- promet --conn "$book"
want_rc 1
want_lines 2
want_err "nema zaslona"

# 2. A successful run prints nothing but what was asked; --debug shows Qt's own diagnostics.
case_ "every output without a display, nothing on stderr"
run bare -- promet --conn "$book" --konto 1200 --komitent 3 --iznos 3 --png "$work/q.png" \
  --svg "$work/q.svg" --pdf "$work/q.pdf" --csv "$work/q.csv" --xlsx "$work/q.xlsx" \
  --ispis "$work/q-ispis.pdf" --izvjestaj "$work/q-izvjestaj.pdf"
want_rc 0
want_quiet
[ -z "$out" ] || fail "$name: stdout not empty"
for f in q.png q.svg q.pdf q.csv q.xlsx q-ispis.pdf q-izvjestaj.pdf; do
  [ -s "$work/$f" ] || fail "$name: $f not written"
done
# the monthly report: a total line only under rows that are like things, running balances by
# where they stood, the plan's index for the year as the index of the year's sums
report_text() { # report_text ARGS: the report's text, or a failure
  run std -- "$@" --izvjestaj "$work/r.pdf"
  [ "$rc" -eq 0 ] || fail "$name: $1: exit $rc ($(said))"
  pdftotext -layout "$work/r.pdf" - 2>/dev/null
}
case_ "the monthly report of debits adds them up"
report_text promet --conn "$book" --konto 1200 --iznos 0 | grep -E '^ *Ukupno +[0-9]' >/dev/null ||
  fail "$name: no total line"
case_ "the monthly report of debits and credits has no total line"
report_text promet --conn "$book" --konto 1200 --iznos 2 | grep -E '^ *Ukupno ' >/dev/null &&
  fail "$name: a total line"
case_ "the monthly report of running balances shows the balance, no total line"
text=$(report_text kumulativ --conn "$book" --konto 1200)
grep -qE ' Saldo$' <<<"$text" || fail "$name: no column Saldo"
grep -qE '^ *Ukupno' <<<"$text" && fail "$name: a total line or column"
case_ "the monthly report of plan and index: the index in per cent, no total line"
text=$(report_text plan --conn "$book" --plan 1 --iznos 2)
grep -qE '^INDEKS_[0-9]+ .*[0-9] %$' <<<"$text" || fail "$name: no index in per cent"
grep -qE '^ *Ukupno ' <<<"$text" && fail "$name: a total line"
# a display left behind by an ended session: files are drawn offscreen, a window is refused
n=97
while [ -e "/tmp/.X11-unix/X$n" ]; do n=$((n + 1)); done
dead() { env -u QT_QPA_PLATFORM -u WAYLAND_DISPLAY DISPLAY=":$n" timeout 60 "$fingraf" "$@" >"$work/out" 2>"$work/err"; rc=$?; err=$(cat "$work/err"); }
case_ "a display left behind: a chart file is drawn offscreen"
dead promet --conn "$book" --konto 1200 --png "$work/dead.png"
want_rc 0
want_quiet
[ -s "$work/dead.png" ] || fail "$name: no picture"
case_ "a display left behind: a window is refused, naming it"
dead promet --conn "$book" --konto 1200
want_rc 1
want_first "^Prozor se ne može pokazati: zaslon DISPLAY=:$n nije dostupan.$"
case_ "--debug shows Qt's own diagnostics"
run bare -- promet --conn "$book" --konto 1200 --png "$work/q.png" --debug
want_rc 0
want_err "XDG_RUNTIME_DIR"
case_ "FINGRAF_DEBUG=1 shows Qt's own diagnostics"
export FINGRAF_DEBUG=1
run bare -- promet --conn "$book" --konto 1200 --png "$work/q.png"
unset FINGRAF_DEBUG
want_rc 0
want_err "XDG_RUNTIME_DIR"

# 3. One clear cause, the database's first.
case_ "missing book: once, with its path"
run std -- promet --conn "$work/nema.sqlite" --konto 1200 --csv "$work/o.csv"
want_rc 1
want_lines 1
want_err "ne postoji.*$work/nema.sqlite"
case_ "a file that is no book: once, with its path"
run std -- promet --conn "$work/text.sqlite" --konto 1200 --csv "$work/o.csv"
want_rc 1
want_lines 1
want_err "text.sqlite.*nije baza podataka"
sqlite3 "$work/other.sqlite" "CREATE TABLE T (X)"
for f in zero other; do
  case_ "$f SQLite file: no book, once, with its path"
  run std -- promet --conn "$work/$f.sqlite" --konto 1200 --csv "$work/o.csv"
  want_rc 1
  want_lines 1
  want_err "^Datoteka \"$work/$f.sqlite\" nije knjiga: u njoj nema kontnog plana"
done
[ -s "$work/zero.sqlite" ] && fail "$name: the empty file was written"
case_ "a folder for a book: said to be a folder"
run std -- promet --conn "$work/folder.sqlite" --konto 1200 --csv "$work/o.csv"
want_rc 1
want_lines 1
want_err "^\"$work/folder.sqlite\" je mapa, a ne datoteka baze podataka.$"
cp "$book" "$work/noturnover.sqlite"
sqlite3 "$work/noturnover.sqlite" "DROP TABLE PROMET"
case_ "turnover table missing: the database's cause first"
run std -- promet --conn "$work/noturnover.sqlite" --konto 120 --csv "$work/o.csv"
want_rc 1
want_first "^Desila se greška: .*no such table: dbo.PROMET"
# another program holds the book: longer than the wait, then for a while only
hold_book() { # hold_book BOOK LOCK SECONDS: another program takes LOCK and lets go after SECONDS
  ( echo "BEGIN $2; UPDATE CONFIG SET NazivFirme=NazivFirme;"; sleep "$3" ) 2>/dev/null |
    sqlite3 "$1" >/dev/null 2>&1 &
  locker=$!
  sleep 1
}
release_book() {
  kill "$locker" 2>/dev/null
  wait "$locker" 2>/dev/null
}
cp "$book" "$work/held.sqlite"
hold_book "$work/held.sqlite" EXCLUSIVE 60
case_ "summary of a locked book says it is locked"
run std -- sazetak "$work/held.sqlite"
want_rc 1
want_lines 1
want_err "held.sqlite\" je zaključana: drži je drugi program, a nije je pustio ni nakon 5 s"
case_ "group definition on a locked book says it is locked"
run std -- prihodi --conn "$work/held.sqlite" --godina "$last" --definiraj PrihodiP --konta 7500 --vrsta P
want_rc 1
want_lines 1
want_err "held.sqlite\" je zaključana: drži je drugi program"
release_book
# held 8 s from a second before the run: the run gives up after its 5 s, before it is let go
hold_book "$work/held.sqlite" EXCLUSIVE 7
case_ "a lock that passes after the wait: locked, never read-only"
run std -- prihodi --conn "$work/held.sqlite" --godina "$last" --prepisi $((last - 1))
want_rc 1
want_err "je zaključana"
want_no_err "readonly"
wait "$locker" 2>/dev/null
hold_book "$work/held.sqlite" IMMEDIATE 60
case_ "carry-over while another program writes says the book is locked"
run std -- prihodi --conn "$work/held.sqlite" --godina "$last" --prepisi $((last - 1))
want_rc 1
want_lines 1
want_err "je zaključana"
release_book
for out in ispis izvjestaj izvjestaj-grupa; do
  case_ "--$out on a full disk says the system's cause"
  dir="$work/fullcause-$out"
  mkdir "$dir"
  if [ "$out" = izvjestaj-grupa ]; then
    args=(prihodi --conn "$book" --grupa RashodiR)
  else
    args=(promet --conn "$book" --konto 1200)
  fi
  err=$( (ulimit -f 0; "$fingraf" "${args[@]}" "--$out" "$dir/r.pdf") 2>&1 >/dev/null)
  rc=$?
  want_rc 1
  want_err "r.pdf\" nije zapisana do kraja: $(cause_of 27)$"
  want_no_err "Želite li"
  [ -z "$(ls -A "$dir")" ] || fail "$name: left $(ls -A "$dir")"
done
mkdir "$work/readonly"
chmod 555 "$work/readonly"
chattr +i "$work/readonly" 2>/dev/null
if touch "$work/readonly/probe" 2>/dev/null; then
  rm -f "$work/readonly/probe"
  echo "note: this user writes in any folder; --ispis into a read-only one is tried on a missing one"
  target="$work/nema/ispis.pdf"
else
  target="$work/readonly/ispis.pdf"
fi
case_ "--ispis into a folder that cannot be written names the file and the cause"
run std -- promet --conn "$book" --konto 1200 --ispis "$target"
want_rc 1
want_lines 1
want_err "^Desila se greška: Ispis u datoteku \"$target\" nije moguć: ($(cause_of 13)|$(cause_of 1)|$(cause_of 2))$"

# 4. Every option value is checked (exit 2, the option named), unknown names too.
case_ "--strana X"
run std -- plan --conn "$book" --strana X --csv "$work/o.csv"
want_rc 2
want_err "^--strana: "
case_ "--grupa '' --podgrupa Roba"
run std -- plan --conn "$book" --grupa '' --podgrupa Roba --csv "$work/o.csv"
want_rc 2
want_err "^--grupa: "
case_ "--podgrupa without --grupa"
run std -- plan --conn "$book" --podgrupa Roba --csv "$work/o.csv"
want_rc 2
want_err "^--podgrupa: zadaje se uz --grupa"
case_ "--komitent without --konto"
run std -- promet --conn "$book" --komitent 3 --csv "$work/o.csv"
want_rc 2
want_err "^--komitent: zadaje se uz --konto"
cp "$book" "$work/shared-key.sqlite"
sqlite3 "$work/shared-key.sqlite" "INSERT INTO FINPLAN (BrojPoduzeca, GODINAKNJ, brojplana, TIP, GRUPA, PODGRUPA, KONTO) VALUES (1, $last, 1, 'P', 'AB', 'C', '7500'), (1, $last, 1, 'P', 'A', 'BC', '7501')"
case_ "--node key two nodes share"
run std -- plan --conn "$work/shared-key.sqlite" --godina "$last" --node 'PGP**ABC' --csv "$work/o.csv"
want_rc 2
want_err "^--node: .*\"Prihodi / A / BC\", \"Prihodi / AB / C\""
case_ "--konto with no value before the next option"
run std -- promet --conn "$book" --konto --png "$work/o.png"
want_rc 2
want_err "^--konto: nedostaje vrijednost \(\"--png\" je opcija"
case_ "--konto with no value at the end"
run std -- promet --conn "$book" --konto
want_rc 2
want_err "^--konto: nedostaje vrijednost"
case_ "unknown option: named in Croatian, with the usage"
run std -- promet --conn "$book" --nepostojeca 5
want_rc 2
want_err "^Nepoznata opcija: --nepostojeca"
want_err "^Upotreba: fingraf promet \[opcije\]"
case_ "unknown window: named, with the usage"
run std -- prometi --demo
want_rc 2
want_err "^Nepoznat prozor ili naredba: \"prometi\""
want_err "fingraf promet \[opcije\]"
case_ "--iznos beyond the window's amount kinds"
run std -- kumulativ --conn "$book" --konto 1200 --iznos 2 --csv "$work/o.csv"
want_rc 2
want_err "^--iznos: očekuje se cijeli broj od 0 do 1"

# 5. A node that is not there: which value, and what there is where the choices are few.
case_ "account not in the tree"
run std -- promet --conn "$book" --konto 9999 --csv "$work/o.csv"
want_rc 1
want_err "^Konto 9999 nije u stablu pod kontom 999. Ondje su: 9990.$"
case_ "group key without its kind letter"
run std -- prihodi --conn "$book" --grupa Prihodi --csv "$work/o.csv"
want_rc 1
want_err "^Grupa \"Prihodi\" nije u stablu: ključ grupe je njezin naziv i slovo vrste .* Ondje su: PrihodiP.$"
case_ "plan group not in the tree"
run std -- plan --conn "$book" --grupa Nema --csv "$work/o.csv"
want_rc 1
want_err "^Grupa \"Nema\" nije u stablu pod \"Prihodi\". Ondje su: .*Prihodi od prodaje"
case_ "a plan without rows: said, nothing written"
run std -- plan --conn "$book" --godina "$last" --plan 9 --csv "$work/plan9.csv"
want_rc 1
want_first "^Plan broj 9 nema nijedne stavke za poduzeće 1 u $last\. godini: nema se što prikazati\.$"
want_no_err "nije zadan čvor"
[ -e "$work/plan9.csv" ] && fail "$name: the figures were written"
for n in 1 2; do
  case_ "plan $n of the demo book draws"
  run std -- plan --conn "$book" --godina "$last" --plan "$n" --strana R --csv "$work/plan$n.csv"
  want_rc 0
  want_quiet
  grep -q "^\"REAL_$last\"" "$work/plan$n.csv" || fail "$name: no realisation"
done
case_ "a firm without accounts is named"
run std -- promet --conn "$book" --firma 7 --csv "$work/o.csv"
want_rc 1
want_err "^Nema trocifrenih konta!$"
want_err "^Poduzeće 7 nema nijednog konta"

# 6. Help and manual: how the command is written, chart types, amount kinds, exit codes; Croatian.
if command -v groff >/dev/null; then
  manual=$(groff -k -man -Tutf8 -P-cbou "$man_page" 2>/dev/null | sed 's/\xe2\x80\x90/-/g; s/\xe2\x88\x92/-/g')
else # the page's text, roughly
  manual=$(sed 's/\\-/-/g; s/\\f[BIRP]//g; s/^\.[A-Z]* //' "$man_page")
fi
for window in promet kumulativ prihodi plan budzet; do
  case_ "$window --help, and the manual says the same"
  run bare -- "$window" --help
  want_rc 0
  want_quiet
  help=$out
  [ "$(echo "$help" | head -1)" = "fingraf $window [opcije]" ] ||
    fail "$name: first line $(echo "$help" | head -1)"
  for line in " 0  3D Bar" " 2  3D Linija" " 4  3D Područje" " 6  3D Korak" " 8  3D Kombinacija" \
              "11  2D XY" "3D vrste (0, 2, 4, 6 i 8)" "Izlazni kodovi:" "  0  učinjeno" \
              "  1  nije se moglo učiniti" "  2  pogrešna"; do
    grep -qF -- "$line" <<<"$help" || fail "$name: no \"$line\""
  done
  grep -qE "Usage|Displays|Options:|Arguments:" <<<"$help" && fail "$name: English lines"
  case $window in
    promet) kinds=("0  Duguje" "1  Potražuje" "2  Oba (D i P)" "3  Saldo D-P" "4  Saldo P-D") ;;
    kumulativ) kinds=("0  Kum.saldo D-P" "1  Kum.saldo P-D") ;;
    plan | budzet) kinds=("0  Plan" "1  Realizacija" "2  Indeks") ;;
    prihodi) kinds=() ;;
  esac
  for k in "${kinds[@]}"; do
    grep -qF -- "$k" <<<"$help" || fail "$name: amount kind \"$k\" missing"
  done
  [ "$window" = prihodi ] && grep -q -- "--iznos" <<<"$help" &&
    fail "$name: --iznos in a window without amount kinds"
  for option in $(echo "$help" | grep -oE '^  (-h, )?--[a-z-]+' | sed 's/.*--//'); do
    grep -qF -- "--$option" <<<"$manual" || fail "$name: the manual lacks --$option"
  done
  for k in "${kinds[@]}" "11  2D XY" " 8  3D Kombinacija"; do
    grep -qF -- "$(sed 's/^ *[0-9]* *//' <<<"$k")" <<<"$manual" ||
      fail "$name: the manual lacks \"$k\""
  done
  grep -qF "fingraf $window [opcije]" <<<"$manual" || fail "$name: the manual lacks its usage"
done
case_ "the manual is in the help's language, with the exit codes"
for line in "IZLAZNI KODOVI" "učinjeno je sve što je traženo" "nije se moglo učiniti" \
            "pogrešna naredba, opcija ili vrijednost opcije" "FINGRAF_DEBUG"; do
  grep -qF -- "$line" <<<"$manual" || fail "$name: no \"$line\""
done
grep -qE "^(NAME|SYNOPSIS|DESCRIPTION|OPTIONS|EXIT STATUS)$" <<<"$manual" && fail "$name: English sections"

# 7. Progress of long work on a terminal, nothing when standard error is no terminal.
case_ "demo book progress on a terminal"
script -qec "\"$fingraf\" demo --scale 3 \"$work/progress.sqlite\" >/dev/null" /dev/null >"$work/tty" 2>&1
grep -qE "Demo knjiga: +[0-9]+ %" "$work/tty" || fail "$name: no percentage: $(tr '\r' '|' <"$work/tty" | head -c 200)"
grep -qE "Demo knjiga: +100 %" "$work/tty" || fail "$name: no 100 %"
run std -- demo --scale 3 "$work/progress2.sqlite"
want_quiet
cp "$book" "$work/nosummary.sqlite"
sqlite3 "$work/nosummary.sqlite" "$(sqlite3 "$work/nosummary.sqlite" "SELECT 'DROP ' || type || ' ' || name || ';' FROM sqlite_master WHERE name LIKE '%SAZETAK%' AND type IN ('trigger', 'table')")"
case_ "summary progress on a terminal"
script -qec "\"$fingraf\" sazetak \"$work/nosummary.sqlite\" >/dev/null" /dev/null >"$work/tty" 2>&1
grep -qE "Sažetak prometa: +[0-9]+ %" "$work/tty" || fail "$name: no percentage: $(tr '\r' '|' <"$work/tty" | head -c 200)"

case_ "group report progress on a terminal, nothing when stderr is no terminal"
script -qec "\"$fingraf\" prihodi --conn \"$book\" --grupa \"Naplata od kupacaP\" --izvjestaj-grupa \"$work/progress.pdf\" >/dev/null" /dev/null >"$work/tty" 2>&1
grep -qE "Izvještaj: +[0-9]+ %" "$work/tty" || fail "$name: no percentage: $(tr '\r' '|' <"$work/tty" | head -c 200)"
run std -- prihodi --conn "$book" --grupa "Naplata od kupacaP" --izvjestaj-grupa "$work/progress.pdf"
want_quiet

# 8. A signal ends the process and leaves no half-written file.
for signal in TERM INT; do
  case_ "SIGTERM/SIGINT: $signal removes staged files"
  dir="$work/signal-$signal"
  mkdir "$dir"
  # the signal's default action, whatever this shell inherited (an ignored interrupt stays
  # ignored by the launcher, as by any program)
  perl -e '$SIG{INT} = "DEFAULT"; exec @ARGV' \
    timeout -s "$signal" 2 "$fingraf" demo --scale 200 "$dir/big.sqlite" >/dev/null 2>&1
  rc=$?
  [ $rc -eq 124 ] || fail "$name: not ended by the signal (exit $rc)"
  [ -z "$(ls -A "$dir")" ] || fail "$name: left $(ls -A "$dir")"
done

case_ "SIGTERM during a group report removes its staged file"
dir="$work/signal-report"
mkdir "$dir"
perl -e '$SIG{INT} = "DEFAULT"; exec @ARGV' \
  timeout -s TERM 1 "$fingraf" prihodi --conn "$book" --grupa "Naplata od kupacaP" \
  --izvjestaj-grupa "$dir/rg.pdf" >/dev/null 2>&1
rc=$?
# a machine that finishes first leaves the whole report, and nothing beside it
[ $rc -eq 124 ] || [ $rc -eq 0 ] || fail "$name: exit $rc"
left=$(ls -A "$dir" | grep -v '^rg\.pdf$')
[ -z "$left" ] || fail "$name: left $left"

# The README's examples without a display: a chart run says nothing.
case_ "README examples without a display"
run bare -- promet --demo --book "$work/readme.sqlite" --konto 1200 --komitent 3 --iznos 3 \
  --png "$work/c.png" --csv "$work/c.csv"
[ $rc -eq 0 ] && [ -z "$err" ] || fail "$name: promet: exit $rc ($(said))"
run bare -- prihodi --demo --book "$work/readme.sqlite" --grupa "Plaće i doprinosiR" --konto 4200 \
  --png "$work/r.png"
[ $rc -eq 0 ] && [ -z "$err" ] || fail "$name: prihodi: exit $rc ($(said))"
run bare -- prihodi --conn "$work/readme.sqlite" --definiraj "PrihodiP" --konta 7500,7501 --vrsta S
[ $rc -eq 0 ] && [ -z "$err" ] || fail "$name: --definiraj: exit $rc ($(said))"
run bare -- sazetak "$work/readme.sqlite"
[ $rc -eq 0 ] && [ -z "$err" ] || fail "$name: sazetak: exit $rc ($(said))"

cases=$((cases + 1))
[ "$(sha256sum "$book" | cut -d' ' -f1)" = "$sum_before" ] || fail "the book changed"
echo "$cases cases, $failures failed"
[ $failures -eq 0 ]
