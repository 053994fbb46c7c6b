// Runs the built program as a child process, in a session of its own, talking to it through pipes.
// Every wait has a deadline: a child that stalls is killed and the test fails instead of hanging.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <string>
#include <string_view>

struct Terminado {
  int estado = -1;       // exit status, or -1 when a signal ended it
  int senal = 0;         // the signal that ended it, or 0
  bool a_tiempo = true;  // false when the deadline passed and the child was killed
  std::string salida;    // all it wrote to standard output (when that was a pipe)
  std::string errores;   // all it wrote to standard error
};

struct Opciones {
  const char* entrada = nullptr;       // a file for standard input instead of a pipe
  const char* salida = nullptr;        // a file for standard output instead of a pipe
  const char* terminal = nullptr;      // a terminal to open as the controlling one
  bool entrada_no_bloqueante = false;  // standard input as another program might leave it
};

class Proceso {
 public:
  using Reloj = std::chrono::steady_clock;
  static constexpr std::chrono::seconds kPlazo{20};

  explicit Proceso(const char* programa, Opciones opciones = {});
  Proceso(const Proceso&) = delete;
  Proceso& operator=(const Proceso&) = delete;
  ~Proceso();

  // Writes all of `datos` to the child's standard input, reading its outputs meanwhile.
  bool escribir(std::string_view datos);
  void cerrar_entrada();
  // Reads standard output until what has arrived since `desde` holds `texto`; false on timeout.
  bool leer_hasta(std::string_view texto, std::size_t desde = 0);
  // Closes standard input, reads both outputs to their end and reaps the child.
  Terminado terminar();

  [[nodiscard]] const std::string& salida() const { return resultado_.salida; }
  [[nodiscard]] pid_t pid() const { return pid_; }
  // The child's peak resident memory so far, in KiB, from /proc (rusage would count the test's
  // own memory, which the child shared until exec).
  [[nodiscard]] long memoria_pico_kib() const;

 private:
  bool atender(int escritura_fd, std::string_view& pendiente, Reloj::time_point limite);

  pid_t pid_ = -1;
  int entrada_ = -1;
  int salida_ = -1;
  int errores_ = -1;
  Reloj::time_point limite_;
  Terminado resultado_;
};

// Runs the program with `entrada` as its whole standard input.
Terminado ejecutar(const char* programa, std::string_view entrada, Opciones opciones = {});

// Input for the program: `texto` `veces` times over, and a whole class given one grade.
std::string repetir(std::string_view texto, int veces);
std::string catorce(const char* nota);
