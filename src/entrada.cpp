#include "entrada.hpp"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <climits>
#include <cstdio>
#include <limits>
#include <system_error>

namespace {

constexpr bool es_blanco(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

constexpr bool es_digito(char c) {
  return c >= '0' && c <= '9';
}

}  // namespace

std::ptrdiff_t leer_entrada_estandar(std::span<char> destino) {
  // A dialogue that the user cannot see must not wait for answers: give up with the write's errno.
  if (std::fflush(stdout) != 0) return -1;
  const auto pedidos = static_cast<unsigned>(std::min<std::size_t>(destino.size(), INT_MAX));
  for (;;) {
    const auto leidos = ::read(STDIN_FILENO, destino.data(), pedidos);
    if (leidos >= 0 || errno != EINTR) return static_cast<std::ptrdiff_t>(leidos);
  }
}

std::optional<float> convertir_decimal(std::string_view texto) {
  const std::size_t largo = texto.size();
  std::size_t i = 0;
  const auto saltar_digitos = [&] {
    const std::size_t desde = i;
    while (i < largo && es_digito(texto[i]))
      ++i;
    return i - desde;
  };

  const bool negativo = largo > 0 && texto[0] == '-';
  if (largo > 0 && (texto[0] == '+' || texto[0] == '-')) ++i;
  const std::size_t inicio_digitos = i;
  const std::size_t enteros = saltar_digitos();
  std::size_t decimales = 0;
  if (i < largo && texto[i] == '.') {
    ++i;
    decimales = saltar_digitos();
  }
  if (enteros + decimales == 0) return std::nullopt;
  const std::size_t fin_mantisa = i;

  // The exponent, saturated: only its sign and rough size matter below.
  long exponente = 0;
  if (i < largo && (texto[i] == 'e' || texto[i] == 'E')) {
    ++i;
    const bool exponente_negativo = i < largo && texto[i] == '-';
    if (i < largo && (texto[i] == '+' || texto[i] == '-')) ++i;
    if (i == largo || !es_digito(texto[i])) return std::nullopt;
    for (; i < largo && es_digito(texto[i]); ++i) {
      exponente = std::min(exponente * 10 + (texto[i] - '0'), 1'000'000L);
    }
    if (exponente_negativo) exponente = -exponente;
  }
  if (i != largo) return std::nullopt;

  float valor = 0.0F;
  // from_chars takes a minus sign but no plus sign.
  const char* const desde = texto.data() + (texto[0] == '+' ? 1 : 0);
  const char* const hasta = texto.data() + largo;
  const auto [fin, codigo] = std::from_chars(desde, hasta, valor, std::chars_format::general);
  if (codigo == std::errc{} && fin == hasta) return valor;
  if (codigo != std::errc::result_out_of_range) return std::nullopt;

  // Out of range leaves `valor` untouched: tell overflow from underflow by the position of the
  // first significant digit, since one lies beyond 1e38 and the other below 1e-45.
  long posicion = static_cast<long>(enteros);
  for (std::size_t j = inicio_digitos; j < fin_mantisa; ++j) {
    if (texto[j] == '.') continue;
    if (texto[j] != '0') break;
    --posicion;
  }
  const bool grande = posicion + exponente > 0;
  const float magnitud = grande ? std::numeric_limits<float>::infinity() : 0.0F;
  return negativo ? -magnitud : magnitud;
}

Token LectorTokens::siguiente() {
  for (;;) {
    while (inicio_ < fin_ && es_blanco(bufer_[inicio_]))
      ++inicio_;
    if (inicio_ < fin_) break;
    if (!cargar()) return final();
  }

  std::size_t largo = 0;
  bool demasiado_largo = false;
  for (;;) {
    while (inicio_ < fin_ && !es_blanco(bufer_[inicio_])) {
      if (largo < token_.size()) {
        token_[largo++] = bufer_[inicio_];
      } else {
        demasiado_largo = true;
      }
      ++inicio_;
    }
    if (inicio_ < fin_) break;  // white space ends the token
    if (!cargar()) {
      // The end of the input ends it too; a read error may have cut it short.
      if (error_ != 0) return final();
      break;
    }
  }
  if (demasiado_largo) return Token{Token::Tipo::demasiado_largo, {}};
  return Token{Token::Tipo::texto, std::string_view{token_.data(), largo}};
}

bool LectorTokens::cargar() {
  if (agotada_ || error_ != 0) return false;
  const std::ptrdiff_t leidos = fuente_(bufer_);
  if (leidos > 0) {
    inicio_ = 0;
    fin_ = static_cast<std::size_t>(leidos);
    return true;
  }
  if (leidos == 0) {
    agotada_ = true;
  } else {
    error_ = errno != 0 ? errno : EIO;
  }
  return false;
}

Token LectorTokens::final() const {
  if (error_ != 0) return Token{Token::Tipo::error_de_lectura, {}, error_};
  return Token{Token::Tipo::fin_de_entrada, {}};
}

Lectura leer_numero(LectorTokens& lector) {
  const Token token = lector.siguiente();
  switch (token.tipo) {
    case Token::Tipo::texto:
      if (const std::optional<float> valor = convertir_decimal(token.texto)) {
        return Lectura{Lectura::Tipo::numero, *valor};
      }
      return Lectura{Lectura::Tipo::no_es_numero};
    case Token::Tipo::demasiado_largo:
      return Lectura{Lectura::Tipo::no_es_numero};
    case Token::Tipo::fin_de_entrada:
      return Lectura{Lectura::Tipo::fin_de_entrada};
    case Token::Tipo::error_de_lectura:
      break;
  }
  return Lectura{Lectura::Tipo::error_de_lectura, 0.0F, token.error};
}
