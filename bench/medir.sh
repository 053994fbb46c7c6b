#!/usr/bin/env bash
# Times notas against a plain scanf/printf loop on the same piped input, side by side:
#   a) a 14-grade run;  b) 1,000,000 refused values ("11" lines), then 14 grades.
# Prints the best wall time of several runs and the peak resident memory of each program.
# Needs cmake, g++, cc and GNU time (apt-get install time).
set -euo pipefail
cd "$(dirname "$0")/.."

[[ -x /usr/bin/time ]] || { echo "bench: needs GNU time (apt-get install time)" >&2; exit 2; }

build=build-bench
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF >/dev/null
cmake --build "$build" -j >/dev/null
cc -O2 -o "$build/bucle_scanf" bench/bucle_scanf.c

datos=$(mktemp -d)
trap 'rm -rf "$datos"' EXIT
seq 14 | awk '{ printf "%.2f\n", ($1 * 0.7) % 10 }' >"$datos/a"
{ awk 'BEGIN { for (i = 0; i < 1000000; i++) print 11 }'; cat "$datos/a"; } >"$datos/b"

# Best wall time over $3 runs, in ms, and the peak memory in KiB, of program $1 on input $2.
# setsid: no controlling terminal, so notas does not wait for a key at the end.
medir() {
  local programa=$1 entrada=$2 veces=$3 mejor="" memoria=0 inicio fin ms kib
  for ((i = 0; i < veces; i++)); do
    inicio=$EPOCHREALTIME
    kib=$(setsid -w /usr/bin/time -f %M "$programa" <"$entrada" 2>&1 >/dev/null | tail -n 1)
    fin=$EPOCHREALTIME
    ms=$(awk -v a="$inicio" -v b="$fin" 'BEGIN { printf "%.1f", (b - a) * 1000 }')
    if [[ -z $mejor ]] || awk -v x="$ms" -v y="$mejor" 'BEGIN { exit !(x < y) }'; then mejor=$ms; fi
    ((kib > memoria)) && memoria=$kib
  done
  printf '%-10s %10s ms %8s KiB\n' "$(basename "$programa")" "$mejor" "$memoria"
}

for caso in a b; do
  veces=$([[ $caso == a ]] && echo 50 || echo 5)
  cmp -s <(setsid -w "$build/notas" <"$datos/$caso") <(setsid -w "$build/bucle_scanf" <"$datos/$caso") ||
    { echo "bench: the two programs disagree on input $caso" >&2; exit 1; }
  echo "$caso) $(wc -l <"$datos/$caso") input lines, best of $veces runs"
  medir "$build/notas" "$datos/$caso" "$veces"
  medir "$build/bucle_scanf" "$datos/$caso" "$veces"
done
