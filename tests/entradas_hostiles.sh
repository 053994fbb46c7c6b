#!/usr/bin/env bash
# Feeds the built program hostile inputs through a pipe, with no terminal and a time limit, and
# checks each run: no crash and no hang, status 0 with the report when 14 grades were in the
# input and 1 without it otherwise, peak memory under 4 MiB.
# Usage: entradas_hostiles.sh PATH/TO/notas
set -uo pipefail

notas=$1
limite_kib=4096
[[ -x /usr/bin/time ]] || { echo "SKIP: needs GNU time (apt-get install time)"; exit 77; }

trabajo=$(mktemp -d)
trap 'rm -rf "$trabajo"' EXIT
fallos=0

catorce() { for i in 1 2 3 4 5 6 7 8 9 10 11 12 13 14; do echo "$((i % 11))"; done; }
enorme() { head -c $((100 << 20)) /dev/zero | tr '\0' 7; }
vacias() { head -c 10000000 /dev/zero | tr '\0' '\n'; }
rechazos() { awk 'BEGIN { for (i = 0; i < 1000000; i++) printf "11 "; print "" }'; }
a_pedazos() {  # each grade in two short writes, with pauses between them
  for nota in 7.5 10 0 6 5.99 8 9.25 4 6.5 3 7 8.5 5 9; do
    printf '%s' "${nota:0:1}"; sleep 0.01; printf '%s\n' "${nota:1}"; sleep 0.01
  done
}

# caso NAME EXPECTED GENERATOR...: EXPECTED is 0, 1, or "any" for a status that must merely
# agree with the output (0 with the report, 1 with the message on standard error). Where
# lineas_de_error is set, the output must hold exactly that many error lines.
caso() {
  local nombre=$1 esperado=$2
  shift 2
  "$@" | setsid -w timeout 60 /usr/bin/time -f %M -o "$trabajo/memoria" \
    "$notas" >"$trabajo/salida" 2>"$trabajo/errores"
  local estado=${PIPESTATUS[1]} memoria informe=0 problema=""
  # GNU time writes "Command exited with non-zero status N" before the figure: keep the figure.
  memoria=$(tail -n 1 "$trabajo/memoria")
  grep -q '^GRACIAS POR USAR ESTE PROGRAMA$' "$trabajo/salida" && informe=1
  if ((estado == 124)); then
    problema="timed out"
  elif ((estado > 1)); then
    problema="status $estado"
  elif [[ $esperado != any && $estado != "$esperado" ]]; then
    problema="status $estado, expected $esperado"
  elif (((estado == 0) != informe)); then
    problema="status $estado but report: $informe"
  elif ((estado == 1)) && ! grep -q '^notas: ' "$trabajo/errores"; then
    problema="status 1 without a message"
  elif [[ -n ${lineas_de_error:-} ]] &&
    (($(grep -oF 'ERROR, LA NOTA DEBE SER ENTRE 0.00 y 10.00' "$trabajo/salida" | wc -l) != \
      lineas_de_error)); then
    problema="not $lineas_de_error error lines"
  elif ((memoria >= limite_kib)); then
    problema="peak memory $memoria KiB"
  fi
  if [[ -n $problema ]]; then
    echo "FAIL $nombre: $problema"
    head -c 300 "$trabajo/errores"
    fallos=$((fallos + 1))
  else
    echo "ok   $nombre: status $estado, $memoria KiB"
  fi
}

# Kept beside the test's output, so that a failure can be replayed.
aleatoria=$PWD/entrada_aleatoria.bin
head -c 1000000 /dev/urandom >"$aleatoria"
caso "random bytes (kept in $aleatoria)" any cat "$aleatoria"
caso "NUL bytes" 1 head -c 1000000 /dev/zero
caso "NUL bytes between grades" 0 bash -c 'for i in $(seq 14); do printf "\0 5 \0\n"; done'
lineas_de_error=1 caso "100 MB token, then 14 grades" 0 bash -c "$(declare -f enorme catorce); enorme; echo; catorce"
lineas_de_error=0 caso "10 million empty lines, then 14 grades" 0 bash -c "$(declare -f vacias catorce); vacias; catorce"
caso "10 million empty lines only" 1 bash -c "$(declare -f vacias); vacias"
lineas_de_error=1000000 caso "1,000,000 refused values on one line" 0 bash -c "$(declare -f rechazos catorce); rechazos; catorce"
lineas_de_error=0 caso "grades in short writes with pauses" 0 bash -c "$(declare -f a_pedazos); a_pedazos"

((fallos == 0))
