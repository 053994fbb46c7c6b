// Reading grades from standard input: white-space separated tokens through fixed buffers, each
// converted from its decimal text straight to the nearest float.
#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <span>
#include <string_view>

// Where input bytes come from: waits for at least one byte, fills `destino` with what is there and
// returns how many, 0 at the end of the input, or -1 with errno set on an error.
using FuenteBytes = std::ptrdiff_t (*)(std::span<char> destino);

// Standard input as a FuenteBytes. Flushes standard output first, since the program is about to
// wait for the user, who must see the prompt; fails with the errno of the write, without reading,
// when that output cannot be written.
std::ptrdiff_t leer_entrada_estandar(std::span<char> destino);

// The nearest float to `texto`, ties to even, when `texto` is, whole, a decimal number: an optional
// sign, digits with an optional point, an optional exponent. Too large gives an infinity, too
// small a zero or a subnormal. Anything else ("abc", "7,5", "inf", "0x1p3") gives nothing.
std::optional<float> convertir_decimal(std::string_view texto);

struct Token {
  enum class Tipo { texto, demasiado_largo, fin_de_entrada, error_de_lectura };
  Tipo tipo;
  std::string_view texto;  // when tipo is texto; valid until the next read
  int error = 0;           // errno, when tipo is error_de_lectura
};

// Splits the input into tokens: runs of characters between white space. Memory stays fixed
// whatever the input: a token longer than LARGO_MAXIMO is consumed and reported as too long.
class LectorTokens {
 public:
  static constexpr std::size_t LARGO_MAXIMO = 1024;

  explicit LectorTokens(FuenteBytes fuente) : fuente_{fuente} {}

  // Skips white space and returns the next token. The end of the input ends a token; once the
  // input has ended or failed, every later call says so again.
  Token siguiente();

 private:
  bool cargar();  // false at the end of the input or on an error
  [[nodiscard]] Token final() const;

  FuenteBytes fuente_;
  static constexpr std::size_t TAMANO_BUFER = std::size_t{64} * 1024;

  std::array<char, TAMANO_BUFER> bufer_{};
  std::size_t inicio_ = 0;  // next unread byte of bufer_
  std::size_t fin_ = 0;     // end of the bytes read into bufer_
  std::array<char, LARGO_MAXIMO> token_{};
  bool agotada_ = false;
  int error_ = 0;
};

struct Lectura {
  enum class Tipo { numero, no_es_numero, fin_de_entrada, error_de_lectura };
  Tipo tipo;
  float valor = 0.0F;  // when tipo is numero
  int error = 0;       // errno, when tipo is error_de_lectura
};

// The next token, as a number if it is one.
Lectura leer_numero(LectorTokens& lector);
