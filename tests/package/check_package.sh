#!/usr/bin/env bash
# Installs the build into a temporary prefix, builds the two example hosts against what was
# installed (not the source tree) and runs them without a screen, makes the Debian package and
# reads its file list and dependencies, and checks that the library exports only its public API.
#   check_package.sh SOURCE_DIR BUILD_DIR
set -euo pipefail
src=$1
build=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export QT_QPA_PLATFORM=offscreen
# Under a faked clock (the test command runs the suite once more under faketime) file times stay
# as the file system keeps them: the builds below compare them with each other, not with the date.
export NO_FAKE_STAT=1
fail() { echo "FAIL: $*" >&2; exit 1; }

echo "== install into $work/prefix"
cmake --install "$build" --prefix "$work/prefix" >/dev/null
prefix=$work/prefix
lib=$(find "$prefix" -name 'libTarnFinGrafPromet11.so.1.1' | head -1)
[ -n "$lib" ] || fail "library not installed"
libdir=$(dirname "$lib")
[ -L "$libdir/libTarnFinGrafPromet11.so.1" ] || fail "no SONAME link"
[ -L "$libdir/libTarnFinGrafPromet11.so" ] || fail "no development link"
objdump -p "$lib" | grep 'SONAME *libTarnFinGrafPromet11.so.1$' >/dev/null || fail "wrong SONAME"
headers=$(cd "$prefix/include" && find . -type f | sort | tr '\n' ' ')
[ "$headers" = "./TarnFinGrafPromet11/capi.h ./TarnFinGrafPromet11/cfingrafpromet.h ./TarnFinGrafPromet11/fingraf_export.h " ] ||
  fail "installed headers: $headers"
# The public headers stand alone: every header they include is theirs or the system's.
for h in "$prefix"/include/TarnFinGrafPromet11/*.h; do
  grep -h '#include "' "$h" | grep -v '"fingraf_export.h"' && fail "$h includes a private header"
done
[ -f "$prefix/share/man/man1/fingraf.1" ] || fail "no man page"
# man's seccomp sandbox refuses the semaphores of a preloaded library (faketime's, in the
# faked-clock run), and formats nothing then; the page is checked the same without it.
MAN_DISABLE_SECCOMP=1 man -l "$prefix/share/man/man1/fingraf.1" >/dev/null 2>&1 || [ ! -x "$(command -v man)" ] || fail "man page does not format"
"$prefix/bin/fingraf" --help | grep promet >/dev/null || fail "installed launcher"

echo "== public API only"
# (c++filt leaves the names with letters beyond ASCII, the Prikaži methods, mangled)
exported=$(nm -D --defined-only "$lib" | awk '{print $3}' | grep -v -x -E '__bss_start|_edata|_end' | c++filt)
unexpected=$(echo "$exported" | grep -v -E '^(fingraf_[a-z_]+|_ZN14cFinGrafPromet[0-9]+Prikaži[A-Za-zž]*E[A-Za-z0-9_]+|cFinGrafPromet::(cFinGrafPromet\(\)|~cFinGrafPromet\(\)|lastError\(\) const|isPlainTableName\(QString const&\)))$' || true)
[ -z "$unexpected" ] || fail "exported beyond the public API:
$unexpected"
for f in fingraf_init fingraf_create fingraf_destroy fingraf_prikazi fingraf_run; do
  echo "$exported" | grep -x "$f" >/dev/null || fail "$f is not exported"
done
echo "$exported" | grep '^_ZN14cFinGrafPromet18PrikažiGrafPromet' >/dev/null || fail "PrikažiGrafPromet is not exported"

echo "== example hosts against the installed package"
book=$work/book.sqlite
"$prefix/bin/fingraf" demo "$book" >/dev/null
conn="Provider=SQLite;Data Source=$book"
export XDG_CONFIG_HOME=$work/config XDG_DATA_HOME=$work/data
cmake -S "$src/examples/c_host" -B "$work/c_host" -G Ninja -DCMAKE_PREFIX_PATH="$prefix" >/dev/null
cmake --build "$work/c_host" >/dev/null
LD_LIBRARY_PATH=$libdir timeout 120 "$work/c_host/c_host" "$conn" --no-wait
cmake -S "$src/examples/cpp_host" -B "$work/cpp_host" -G Ninja -DCMAKE_PREFIX_PATH="$prefix" >/dev/null
cmake --build "$work/cpp_host" >/dev/null
grep -rq "$src/src" "$work/cpp_host/build.ninja" && fail "the C++ host was built against the source tree"
LD_LIBRARY_PATH=$libdir timeout 120 "$work/cpp_host/cpp_host" "$conn" --close-after 200

echo "== Debian package"
(cd "$work" && cpack -G DEB --config "$build/CPackConfig.cmake" >/dev/null)
deb=$(ls "$work"/fingraf_*.deb)
contents=$(dpkg-deb -c "$deb" | awk '{print $6}')
for f in '/usr/bin/fingraf' '/usr/share/man/man1/fingraf\.1(\.gz)?' \
         '/usr/include/TarnFinGrafPromet11/cfingrafpromet\.h' '/usr/include/TarnFinGrafPromet11/capi\.h' \
         '/usr/lib/(.*/)?cmake/TarnFinGrafPromet11/TarnFinGrafPromet11Config\.cmake' \
         '/usr/lib/(.*/)?pkgconfig/TarnFinGrafPromet11\.pc' '/usr/lib/(.*/)?libTarnFinGrafPromet11\.so\.1\.1'; do
  echo "$contents" | grep -E "^\.$f\$" >/dev/null || fail "$f missing from the package"
done
echo "$contents" | grep 'include/.*/\(platform\|chartwin\)' >/dev/null && fail "private headers in the package"
depends=$(dpkg-deb -f "$deb" Depends)
echo "Depends: $depends"
for d in libqt6widgets6 libqt6charts6 libxlsxwriter libc6 libqt6sql6-sqlite; do
  echo "$depends" | grep "$d" >/dev/null || fail "dependency $d missing"
done
echo "package checks passed"
