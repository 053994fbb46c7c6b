#include "entrada.hpp"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <limits>
#include <string_view>
#include <system_error>

namespace {

constexpr bool es_blanco(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

constexpr bool es_digito(char c) { return c >= '0' && c <= '9'; }

// Takes the parts of a decimal number off the front of a text, one by one.
class Cursor {
 public:
  explicit Cursor(std::string_view texto) : resto_{texto} {}

  // Takes the next character if it is `a` or `b`.
  bool tomar(char a, char b) {
    if (resto_.empty() || (resto_.front() != a && resto_.front() != b)) return false;
    resto_.remove_prefix(1);
    return true;
  }
  [[nodiscard]] bool sigue(char c) const { return !resto_.empty() && resto_.front() == c; }
  std::string_view digitos() {
    std::size_t n = 0;
    while (n < resto_.size() && es_digito(resto_[n])) ++n;
    const std::string_view tomados = resto_.substr(0, n);
    resto_.remove_prefix(n);
    return tomados;
  }
  [[nodiscard]] bool al_final() const { return resto_.empty(); }

 private:
  std::string_view resto_;
};

struct Decimal {
  bool negativo;
  long orden;  // a value that is not zero lies from 10^(orden - 1) up to 10^orden
};

// The order of magnitude of the digits before and after the point, without the exponent.
long orden_de(std::string_view enteros, std::string_view decimales) {
  const std::size_t primer_entero = enteros.find_first_not_of('0');
  if (primer_entero != std::string_view::npos) {
    return static_cast<long>(enteros.size() - primer_entero);
  }
  const std::size_t ceros = std::min(decimales.find_first_not_of('0'), decimales.size());
  return -static_cast<long>(ceros);
}

// Whether `texto` is, whole, a decimal number: an optional sign, digits with an optional point,
// and an optional exponent; if so, its sign and its order of magnitude.
std::optional<Decimal> analizar_decimal(std::string_view texto) {
  Cursor cursor{texto};
  const bool negativo = cursor.sigue('-');
  cursor.tomar('+', '-');
  const std::string_view enteros = cursor.digitos();
  const std::string_view decimales = cursor.tomar('.', '.') ? cursor.digitos() : std::string_view{};
  if (enteros.empty() && decimales.empty()) return std::nullopt;

  long exponente = 0;
  if (cursor.tomar('e', 'E')) {
    const bool exponente_negativo = cursor.sigue('-');
    cursor.tomar('+', '-');
    const std::string_view digitos = cursor.digitos();
    if (digitos.empty()) return std::nullopt;
    // Saturated: past this, only the sign of the exponent matters.
    constexpr long kTope = 1'000'000;
    for (const char d : digitos) exponente = std::min(exponente * 10 + (d - '0'), kTope);
    if (exponente_negativo) exponente = -exponente;
  }
  if (!cursor.al_final()) return std::nullopt;
  return Decimal{negativo, orden_de(enteros, decimales) + exponente};
}

}  // namespace

std::optional<float> convertir_decimal(std::string_view texto) {
  const std::optional<Decimal> decimal = analizar_decimal(texto);
  if (!decimal) return std::nullopt;

  float valor = 0.0F;
  // from_chars takes a minus sign but no plus sign.
  const char* const desde = texto.data() + (texto.front() == '+' ? 1 : 0);
  const char* const hasta = texto.data() + texto.size();
  const auto [fin, codigo] = std::from_chars(desde, hasta, valor, std::chars_format::general);
  if (codigo == std::errc{} && fin == hasta) return valor;
  if (codigo != std::errc::result_out_of_range) return std::nullopt;

  // Out of range leaves `valor` untouched. Overflow lies beyond 1e38 and underflow below 1e-45,
  // so the order of magnitude tells them apart.
  const float magnitud = decimal->orden > 0 ? std::numeric_limits<float>::infinity() : 0.0F;
  return decimal->negativo ? -magnitud : magnitud;
}

Token LectorTokens::siguiente() {
  for (;;) {
    while (inicio_ < fin_ && es_blanco(bufer_[inicio_])) ++inicio_;
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
