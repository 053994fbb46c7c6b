// The closing key wait at a real terminal: a pseudo-terminal that the test opens itself becomes
// the program's controlling terminal, while its standard input and output stay pipes.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>

#include "proceso.hpp"

namespace {

using namespace std::chrono_literals;

bool iguales(const termios& a, const termios& b) {
  return a.c_iflag == b.c_iflag && a.c_oflag == b.c_oflag && a.c_cflag == b.c_cflag &&
         a.c_lflag == b.c_lflag && std::equal(std::begin(a.c_cc), std::end(a.c_cc), b.c_cc);
}

// A pseudo-terminal pair. The test keeps the terminal side open too, to look at what is left.
class Pty {
 public:
  Pty() {
    maestro_ = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (maestro_ < 0 || ::grantpt(maestro_) != 0 || ::unlockpt(maestro_) != 0) std::abort();
    nombre_ = ::ptsname(maestro_);
    esclavo_ = ::open(nombre_.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (esclavo_ < 0) std::abort();
    ::tcgetattr(esclavo_, &inicial_);
  }
  Pty(const Pty&) = delete;
  Pty& operator=(const Pty&) = delete;
  ~Pty() {
    ::close(esclavo_);
    ::close(maestro_);
  }

  [[nodiscard]] const char* nombre() const { return nombre_.c_str(); }
  [[nodiscard]] const termios& inicial() const { return inicial_; }
  [[nodiscard]] termios actual() const {
    termios t{};
    ::tcgetattr(esclavo_, &t);
    return t;
  }

  void teclear(const std::string& bytes) const {
    ASSERT_EQ(::write(maestro_, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
  }

  // Waits, within a deadline, until what was typed has reached the terminal's input queue.
  [[nodiscard]] bool esperar_tecleado() const {
    pollfd p{esclavo_, POLLIN, 0};
    return ::poll(&p, 1, 10'000) == 1;
  }

  // Waits, within a deadline, until the program has switched the terminal to key-by-key mode.
  [[nodiscard]] bool esperar_modo_tecla() const {
    const auto limite = std::chrono::steady_clock::now() + 10s;
    while (std::chrono::steady_clock::now() < limite) {
      if ((actual().c_lflag & ICANON) == 0) return true;
      std::this_thread::sleep_for(2ms);
    }
    return false;
  }

  // Bytes that the terminal shows (echo), and bytes still waiting to be read on its side.
  [[nodiscard]] std::string mostrado() const { return sin_esperar(maestro_); }
  [[nodiscard]] std::string sin_leer() const {
    termios crudo = actual();
    crudo.c_lflag &= ~static_cast<tcflag_t>(ICANON);  // a partial line counts too
    crudo.c_cc[VMIN] = 0;
    crudo.c_cc[VTIME] = 0;
    ::tcsetattr(esclavo_, TCSANOW, &crudo);
    return sin_esperar(esclavo_);
  }

 private:
  static std::string sin_esperar(int fd) {
    const int banderas = ::fcntl(fd, F_GETFL);
    ::fcntl(fd, F_SETFL, banderas | O_NONBLOCK);
    std::string bytes;
    char bloque[256];
    for (ssize_t n; (n = ::read(fd, bloque, sizeof bloque)) > 0;)
      bytes.append(bloque, static_cast<std::size_t>(n));
    ::fcntl(fd, F_SETFL, banderas);
    return bytes;
  }

  int maestro_ = -1;
  int esclavo_ = -1;
  std::string nombre_;
  termios inicial_{};
};

struct Tecla {
  const char* nombre;
  std::string bytes;
};

// Names the case in test listings instead of dumping its bytes.
void PrintTo(const Tecla& caso, std::ostream* os) { *os << caso.nombre; }

class EsperaDeTecla : public testing::TestWithParam<Tecla> {};

TEST_P(EsperaDeTecla, UnaTeclaTerminaSinEcoYSinRestos) {
  Pty pty;
  Proceso notas{NOTAS_EXE, Opciones{.terminal = pty.nombre()}};
  ASSERT_TRUE(notas.escribir(catorce("8")));
  ASSERT_TRUE(notas.leer_hasta("Precione ENTER para terminar"));
  ASSERT_TRUE(pty.esperar_modo_tecla());
  const termios durante = pty.actual();
  EXPECT_EQ(durante.c_lflag & (ECHO | ISIG), 0U);

  pty.teclear(GetParam().bytes);
  const Terminado t = notas.terminar();
  ASSERT_TRUE(t.a_tiempo);
  EXPECT_EQ(t.estado, 0);
  EXPECT_EQ(t.errores, "");
  EXPECT_TRUE(
      t.salida.ends_with(" \nGRACIAS POR USAR ESTE PROGRAMA\n\nPrecione ENTER para terminar"))
      << "nothing may be written after the key";
  EXPECT_TRUE(iguales(pty.actual(), pty.inicial())) << "terminal settings not restored";
  EXPECT_EQ(pty.mostrado(), "") << "the key was echoed";
  EXPECT_EQ(pty.sin_leer(), "") << "part of the key was left for the shell";
}

INSTANTIATE_TEST_SUITE_P(Teclas, EsperaDeTecla,
                         testing::Values(Tecla{"enter", "\r"}, Tecla{"letra", "a"},
                                         Tecla{"escape", "\x1b"}, Tecla{"ctrl_c", "\x03"},
                                         Tecla{"ctrl_d", "\x04"}, Tecla{"ctrl_z", "\x1a"},
                                         Tecla{"ctrl_s", "\x13"}, Tecla{"flecha", "\x1b[A"},
                                         Tecla{"f5", "\x1b[15~"}, Tecla{"enie", "\xc3\xb1"}),
                         [](const auto& caso) { return std::string{caso.param.nombre}; });

TEST(EsperaDeTecla, LoEscritoAntesDelFinalNoLaTermina) {
  Pty pty;
  Proceso notas{NOTAS_EXE, Opciones{.terminal = pty.nombre()}};
  pty.teclear("x\n");  // typed ahead at the terminal while the grades come from the pipe
  ASSERT_TRUE(pty.esperar_tecleado());
  ASSERT_TRUE(notas.escribir(catorce("8")));
  ASSERT_TRUE(pty.esperar_modo_tecla());
  std::this_thread::sleep_for(200ms);
  int estado = 0;
  EXPECT_EQ(::waitpid(notas.pid(), &estado, WNOHANG), 0) << "the wait ended without a key";
  (void)pty.mostrado();  // the echo of the typed-ahead line, before the wait began

  pty.teclear("\r");
  const Terminado t = notas.terminar();
  EXPECT_EQ(t.estado, 0);
  EXPECT_TRUE(iguales(pty.actual(), pty.inicial()));
  EXPECT_EQ(pty.sin_leer(), "");
}

TEST(EsperaDeTecla, UnaSenalDuranteLaEsperaRestauraLaTerminal) {
  for (const int senal : {SIGTERM, SIGINT, SIGHUP}) {
    Pty pty;
    Proceso notas{NOTAS_EXE, Opciones{.terminal = pty.nombre()}};
    ASSERT_TRUE(notas.escribir(catorce("8")));
    ASSERT_TRUE(pty.esperar_modo_tecla());
    ::kill(notas.pid(), senal);
    const Terminado t = notas.terminar();
    ASSERT_TRUE(t.a_tiempo);
    EXPECT_EQ(t.senal, senal) << "the process must still end by the signal";
    EXPECT_TRUE(iguales(pty.actual(), pty.inicial())) << strsignal(senal);
  }
}

}  // namespace
