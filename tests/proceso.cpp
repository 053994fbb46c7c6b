#include "proceso.hpp"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <fstream>
#include <stdexcept>
#include <string>

namespace {

void cerrar(int& fd) {
  if (fd >= 0) ::close(fd);
  fd = -1;
}

// With standard input closed (as CI may run the tests), a new pipe could take descriptor 0 and
// be lost to the child's own redirections: keep 0, 1 and 2 taken.
void ocupar_descriptores_estandar() {
  for (int fd = 0; fd <= 2; ++fd) {
    if (::fcntl(fd, F_GETFD) == -1) (void)::open("/dev/null", O_RDWR);
  }
}

std::array<int, 2> tuberia() {
  std::array<int, 2> extremos{};
  if (::pipe2(extremos.data(), O_CLOEXEC) != 0) throw std::runtime_error("pipe2");
  return extremos;
}

int milisegundos_hasta(Proceso::Reloj::time_point limite) {
  const auto resto =
      std::chrono::duration_cast<std::chrono::milliseconds>(limite - Proceso::Reloj::now());
  return resto.count() < 0 ? 0 : static_cast<int>(resto.count());
}

}  // namespace

Proceso::Proceso(const char* programa, Opciones opciones) : limite_{Reloj::now() + kPlazo} {
  // A child killed by a broken pipe is a result to see, not a reason for the test to die.
  (void)::signal(SIGPIPE, SIG_IGN);
  ocupar_descriptores_estandar();
  const auto entrada = tuberia();
  const auto salida = tuberia();
  const auto errores = tuberia();
  pid_ = ::fork();
  if (pid_ < 0) throw std::runtime_error("fork");
  if (pid_ == 0) {
    // Only async-signal-safe calls from here to exec.
    ::setsid();  // no controlling terminal, unless one is opened next
    if (opciones.terminal != nullptr) {
      const int terminal = ::open(opciones.terminal, O_RDWR);
      if (terminal < 0) ::_exit(126);
      ::close(terminal);  // it stays the controlling terminal; the program opens /dev/tty
    }
    // A file named in the options, or else the pipe end, becomes the standard stream `destino`.
    const auto redirigir = [](const char* archivo, int modo, int extremo, int destino) {
      const int fd = archivo != nullptr ? ::open(archivo, modo) : extremo;
      if (fd < 0) ::_exit(126);
      ::dup2(fd, destino);
    };
    redirigir(opciones.entrada, O_RDONLY, entrada[0], STDIN_FILENO);
    redirigir(opciones.salida, O_WRONLY, salida[1], STDOUT_FILENO);
    if (opciones.entrada_no_bloqueante) {
      ::fcntl(STDIN_FILENO, F_SETFL, ::fcntl(STDIN_FILENO, F_GETFL) | O_NONBLOCK);
    }
    ::dup2(errores[1], STDERR_FILENO);
    // A clean start whatever the test runner inherited: ignored signals would stay ignored.
    for (const int senal : {SIGPIPE, SIGINT, SIGQUIT, SIGTERM, SIGHUP})
      (void)::signal(senal, SIG_DFL);
    sigset_t ninguna;
    sigemptyset(&ninguna);
    sigprocmask(SIG_SETMASK, &ninguna, nullptr);
    ::execl(programa, programa, static_cast<char*>(nullptr));
    ::_exit(127);
  }
  ::close(entrada[0]);
  ::close(salida[1]);
  ::close(errores[1]);
  entrada_ = entrada[1];
  salida_ = salida[0];
  errores_ = errores[0];
}

Proceso::~Proceso() {
  if (pid_ > 0) {
    ::kill(pid_, SIGKILL);
    ::waitpid(pid_, nullptr, 0);
  }
  cerrar(entrada_);
  cerrar(salida_);
  cerrar(errores_);
}

// One round of poll: writes some of `pendiente`, reads whatever the child wrote. False once the
// deadline has passed.
bool Proceso::atender(int escritura_fd, std::string_view& pendiente, Reloj::time_point limite) {
  std::array<pollfd, 3> fds{{{salida_, POLLIN, 0},
                             {errores_, POLLIN, 0},
                             {pendiente.empty() ? -1 : escritura_fd, POLLOUT, 0}}};
  const int listos = ::poll(fds.data(), fds.size(), milisegundos_hasta(limite));
  if (listos == 0 && Reloj::now() >= limite) return false;
  if (listos < 0) return errno == EINTR;

  std::array<char, 65536> bloque{};
  const auto recoger = [&](pollfd& p, int& fd, std::string& destino) {
    if (p.revents == 0) return;
    const ssize_t n = ::read(fd, bloque.data(), bloque.size());
    if (n > 0) {
      destino.append(bloque.data(), static_cast<std::size_t>(n));
    } else {
      cerrar(fd);
    }
  };
  recoger(fds[0], salida_, resultado_.salida);
  recoger(fds[1], errores_, resultado_.errores);
  if (fds[2].revents != 0) {
    const ssize_t n = ::write(escritura_fd, pendiente.data(), pendiente.size());
    if (n > 0) {
      pendiente.remove_prefix(static_cast<std::size_t>(n));
    } else {
      pendiente = {};  // the child closed its input; what is left cannot be delivered
    }
  }
  return true;
}

bool Proceso::escribir(std::string_view datos) {
  while (!datos.empty()) {
    if (entrada_ < 0 || !atender(entrada_, datos, limite_)) return false;
  }
  return true;
}

void Proceso::cerrar_entrada() { cerrar(entrada_); }

bool Proceso::leer_hasta(std::string_view texto, std::size_t desde) {
  std::string_view nada;
  while (resultado_.salida.find(texto, desde) == std::string::npos) {
    if (salida_ < 0 || !atender(-1, nada, limite_)) return false;
  }
  return true;
}

Terminado Proceso::terminar() {
  cerrar_entrada();
  std::string_view nada;
  while (salida_ >= 0 || errores_ >= 0) {
    if (!atender(-1, nada, limite_)) {
      resultado_.a_tiempo = false;
      ::kill(pid_, SIGKILL);
      break;
    }
  }
  // Outputs closed; the exit itself is near, but still bounded.
  int estado = 0;
  while (::waitpid(pid_, &estado, WNOHANG) == 0) {
    if (Reloj::now() >= limite_) {
      resultado_.a_tiempo = false;
      ::kill(pid_, SIGKILL);
    }
    ::usleep(1000);
  }
  pid_ = -1;
  if (WIFEXITED(estado)) resultado_.estado = WEXITSTATUS(estado);
  if (WIFSIGNALED(estado)) resultado_.senal = WTERMSIG(estado);
  return std::move(resultado_);
}

long Proceso::memoria_pico_kib() const {
  std::ifstream estado{"/proc/" + std::to_string(pid_) + "/status"};
  for (std::string linea; std::getline(estado, linea);) {
    if (linea.rfind("VmHWM:", 0) == 0) return std::stol(linea.substr(6));
  }
  return -1;
}

Terminado ejecutar(const char* programa, std::string_view entrada, Opciones opciones) {
  Proceso proceso{programa, opciones};
  proceso.escribir(entrada);
  return proceso.terminar();
}

std::string repetir(std::string_view texto, int veces) {
  std::string todo;
  for (int i = 0; i < veces; ++i) todo += texto;
  return todo;
}

std::string catorce(const char* nota) { return repetir(std::string{nota} + "\n", 14); }
