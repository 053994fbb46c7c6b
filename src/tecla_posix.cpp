#include <fcntl.h>
#include <sys/select.h>
#include <termios.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <csignal>

#include "tecla.hpp"

namespace {

extern "C" void dejar_pasar(int /*senal*/) {}

class Descriptor {
 public:
  explicit Descriptor(int fd) : fd_{fd} {}
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;
  ~Descriptor() {
    if (fd_ >= 0) ::close(fd_);
  }
  [[nodiscard]] int get() const { return fd_; }

 private:
  int fd_;
};

// Signals that would otherwise end the process while the terminal is raw. They stay blocked but
// for the wait itself, where a handler that resets itself takes one; the destructor sends it again
// once the caller has restored the terminal, so the process still ends by it.
class SenalesDiferidas {
 public:
  SenalesDiferidas() {
    sigemptyset(&bloqueadas_);
    for (const int senal : kSenales) sigaddset(&bloqueadas_, senal);
    sigprocmask(SIG_BLOCK, &bloqueadas_, &mascara_previa_);

    struct sigaction captura {};
    captura.sa_handler = dejar_pasar;
    captura.sa_flags = static_cast<int>(SA_RESETHAND);
    sigemptyset(&captura.sa_mask);
    for (std::size_t i = 0; i < kSenales.size(); ++i) {
      // A signal that the parent had the process ignore stays ignored.
      instalada_[i] = sigaction(kSenales[i], nullptr, &previas_[i]) == 0 &&
                      previas_[i].sa_handler == SIG_DFL &&
                      sigaction(kSenales[i], &captura, nullptr) == 0;
    }
  }
  SenalesDiferidas(const SenalesDiferidas&) = delete;
  SenalesDiferidas& operator=(const SenalesDiferidas&) = delete;
  ~SenalesDiferidas() {
    for (std::size_t i = 0; i < kSenales.size(); ++i) {
      if (instalada_[i]) sigaction(kSenales[i], &previas_[i], nullptr);
    }
    if (recibida_ != 0) (void)raise(recibida_);  // pending until the mask below lets it through
    sigprocmask(SIG_SETMASK, &mascara_previa_, nullptr);
  }

  // The mask to wait under: the caller's own, which lets these signals in.
  [[nodiscard]] const sigset_t& mascara_de_espera() const { return mascara_previa_; }

  // After an interrupted wait: true if one of these signals came. SA_RESETHAND has put the
  // default action back on exactly the one that was caught.
  bool llego_alguna() {
    for (std::size_t i = 0; i < kSenales.size() && recibida_ == 0; ++i) {
      struct sigaction actual {};
      if (instalada_[i] && sigaction(kSenales[i], nullptr, &actual) == 0 &&
          actual.sa_handler == SIG_DFL) {
        recibida_ = kSenales[i];
      }
    }
    return recibida_ != 0;
  }

 private:
  static constexpr std::array kSenales{SIGINT, SIGTERM, SIGHUP, SIGQUIT};
  sigset_t bloqueadas_{};
  sigset_t mascara_previa_{};
  std::array<struct sigaction, kSenales.size()> previas_{};
  std::array<bool, kSenales.size()> instalada_{};
  int recibida_ = 0;
};

// Key by key, without echo and without signal or flow-control keys, for as long as it lives; the
// settings found are put back exactly on the way out, and whatever was typed and not read is
// dropped with them.
class ModoTecla {
 public:
  ModoTecla(int fd, const termios& original) : fd_{fd}, original_{original} {
    termios tecla = original;
    tecla.c_lflag &= ~static_cast<tcflag_t>(ICANON | ECHO | ISIG | IEXTEN);
    tecla.c_iflag &= ~static_cast<tcflag_t>(IXON);  // so Ctrl-S is a key like any other
    tecla.c_cc[VMIN] = 1;
    tecla.c_cc[VTIME] = 0;
    // TCSAFLUSH drops what was typed ahead, so only a key pressed now ends the wait.
    activo_ = tcsetattr(fd_, TCSAFLUSH, &tecla) == 0;
  }
  ModoTecla(const ModoTecla&) = delete;
  ModoTecla& operator=(const ModoTecla&) = delete;
  ~ModoTecla() { tcsetattr(fd_, TCSAFLUSH, &original_); }

  [[nodiscard]] bool activo() const { return activo_; }

 private:
  int fd_;
  termios original_;
  bool activo_ = false;
};

// Waits until `fd` can be read, up to `espera` (forever when null). False on a timeout, a signal
// of `senales`, or an error.
bool esperar_lectura(int fd, const timespec* espera, SenalesDiferidas& senales) {
  for (;;) {
    fd_set listos;
    FD_ZERO(&listos);
    FD_SET(fd, &listos);
    const int resultado =
        pselect(fd + 1, &listos, nullptr, nullptr, espera, &senales.mascara_de_espera());
    if (resultado > 0) return true;
    if (resultado == 0 || errno != EINTR || senales.llego_alguna()) return false;
  }
}

void leer_una_tecla(int fd, SenalesDiferidas& senales) {
  constexpr std::size_t kMaximoPorTecla = 64;  // longer than any key's escape sequence
  std::array<char, kMaximoPorTecla> bytes{};
  if (!esperar_lectura(fd, nullptr, senales) || ::read(fd, bytes.data(), bytes.size()) <= 0) {
    return;
  }
  // An arrow or a function key sends several bytes, which may trail the first ones: give them a
  // moment to arrive. Leaving the mode drops whatever is still unread, so none reaches the shell.
  constexpr timespec kRezagados{0, 50'000'000};
  if (esperar_lectura(fd, &kRezagados, senales)) (void)::read(fd, bytes.data(), bytes.size());
}

}  // namespace

void esperar_tecla() {
  const Descriptor terminal{::open("/dev/tty", O_RDWR | O_NOCTTY | O_CLOEXEC)};
  if (terminal.get() < 0) return;  // no controlling terminal: nobody to press a key
  termios original{};
  if (tcgetattr(terminal.get(), &original) != 0) return;

  SenalesDiferidas senales;  // declared first: lets a caught signal go after the restore
  const ModoTecla modo{terminal.get(), original};
  if (modo.activo()) leer_una_tecla(terminal.get(), senales);
}
