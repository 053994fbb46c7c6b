#include <io.h>

#include <algorithm>
#include <climits>
#include <cstdio>

#include "entrada.hpp"

std::ptrdiff_t leer_entrada_estandar(std::span<char> destino) {
  // A dialogue that the user cannot see must not wait for answers: give up with the write's errno.
  if (std::fflush(stdout) != 0) return -1;
  // In text mode, as the runtime opened it: CR LF arrives as LF, and Ctrl-Z ends a typed input.
  const auto pedidos = static_cast<unsigned>(std::min<std::size_t>(destino.size(), INT_MAX));
  return _read(0, destino.data(), pedidos);
}
