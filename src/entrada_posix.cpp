#include <poll.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

#include "entrada.hpp"

std::ptrdiff_t leer_entrada_estandar(std::span<char> destino) {
  // A dialogue that the user cannot see must not wait for answers: give up with the write's errno.
  if (std::fflush(stdout) != 0) return -1;
  for (;;) {
    const ssize_t leidos = ::read(STDIN_FILENO, destino.data(), destino.size());
    if (leidos >= 0) return leidos;
    if (errno == EAGAIN || errno == EWOULDBLOCK) {
      // Another program left standard input non-blocking: wait for it as if it were not.
      pollfd entrada{STDIN_FILENO, POLLIN, 0};
      if (::poll(&entrada, 1, -1) < 0 && errno != EINTR) return -1;
    } else if (errno != EINTR) {
      return -1;
    }
  }
}
