#!/usr/bin/env bash
# Checks the Windows build from Linux: the ZIP holds notas.exe and the README, notas.exe imports
# only DLLs that come with Windows, and under Wine it holds the same dialogues as the Linux golden
# transcripts, with CR LF line ends.
# Usage: windows_wine.sh BUILD_DIR   (the build of the `windows` preset, after cpack)
set -uo pipefail

exe=$1/notas.exe
transcripciones=$(dirname "$0")/transcripciones
fallos=0
falla() { echo "FAIL $*"; fallos=$((fallos + 1)); }

# The DLLs that a copy of notas.exe on a bare Windows PC would look for.
dlls=$(x86_64-w64-mingw32-objdump -p "$exe" | awk '/DLL Name:/ { print $3 }')
echo "imports: $(echo $dlls)"
for dll in $dlls; do
  [[ ${dll,,} =~ ^(kernel32|msvcrt|user32|advapi32|ws2_32|ucrtbase|api-ms-win-.*)\.dll$ ]] ||
    falla "imports $dll, which does not come with Windows"
done

# The package a Windows user downloads: the executable and the README.
zip=$(ls "$1"/notas-*-win64.zip 2>/dev/null | head -n 1)
if [[ -z $zip ]]; then
  falla "no notas-<version>-win64.zip in $1 (run cpack there)"
else
  contenido=$(cd "$1" && cmake -E tar tf "$(basename "$zip")")
  for archivo in notas.exe README.md; do
    grep -q "/$archivo\$" <<<"$contenido" || falla "$(basename "$zip") lacks $archivo"
  done
fi

# The closing wait is msvcrt's _getch: one key at the console, whatever standard input is.
x86_64-w64-mingw32-objdump -p "$exe" | sed -n '/DLL Name: msvcrt.dll/,/DLL Name/p' |
  grep -w _getch >/dev/null || falla "the key wait does not call msvcrt's _getch"

export WINEDEBUG=-all WINEPREFIX
WINEPREFIX=$(mktemp -d)
trap 'wineserver -k 2>/dev/null; rm -rf "$WINEPREFIX"' EXIT
timeout 300 wineboot --init >/dev/null 2>&1  # a new prefix, quietly, before any timed run
timeout 60 wineserver -w

crlf() { perl -pe 's/\n/\r\n/' "$1"; }
# No console under Wine with pipes, so the key wait returns at once; the time limit guards it.
notas() { setsid -w timeout 60 wine "$exe" 2>"$trabajo/errores"; }

trabajo=$(mktemp -d)
for entrada in "$transcripciones"/*.entrada; do
  nombre=$(basename "$entrada" .entrada)
  base=$transcripciones/$nombre
  cat "$entrada" | notas >"$trabajo/salida"
  estado=$?
  if [[ -f $base.errores ]]; then esperado=1; else esperado=0; fi
  cmp -s <(crlf "$base.salida") "$trabajo/salida" || falla "$nombre: standard output differs"
  if ((esperado == 1)); then
    cmp -s <(crlf "$base.errores") "$trabajo/errores" || falla "$nombre: standard error differs"
  else
    [[ ! -s $trabajo/errores ]] || falla "$nombre: standard error not empty"
  fi
  ((estado == esperado)) || falla "$nombre: status $estado, expected $esperado"
  echo "ran $nombre: status $estado"
done

notas <"$transcripciones/catorce_cincos.entrada" >/dev/full
estado=$?
((estado == 1)) || falla "output to /dev/full: status $estado, expected 1"
grep -q '^notas: no se pudo escribir la salida' "$trabajo/errores" ||
  falla "output to /dev/full: no message on standard error"
rm -rf "$trabajo"

if ((fallos)); then echo "$fallos failed"; exit 1; fi
echo "notas.exe under Wine: all passed"
