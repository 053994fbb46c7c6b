// libFuzzer target: arbitrary bytes as standard input would deliver them, in pieces of arbitrary
// sizes, through the token reader, the conversion and the summary. Aborts on the first broken
// promise:
// - the tokens are the input's runs of non-white-space, however the reads cut them;
// - a token that converts gives the float strtof gives, bit for bit, and every decimal number
//   converts;
// - only accepted grades reach the summary, and its invariants hold after every one.
#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "entrada.hpp"
#include "resumen_notas.hpp"

namespace {

// The input being delivered. FuenteBytes carries no context, so it lives here.
struct Entrega {
  std::string_view resto;
  std::uint32_t azar = 1;  // xorshift state that picks the size of each read
};
Entrega entrega;

// Marsaglia's xorshift32.
std::uint32_t siguiente_azar(std::uint32_t x) {
  constexpr unsigned kA = 13;
  constexpr unsigned kB = 17;
  constexpr unsigned kC = 5;
  x ^= x << kA;
  x ^= x >> kB;
  x ^= x << kC;
  return x;
}

std::ptrdiff_t leer_a_trozos(std::span<char> destino) {
  if (entrega.resto.empty()) return 0;
  entrega.azar = siguiente_azar(entrega.azar);
  // Mostly reads of 1 to 8 bytes, which stop inside tokens; one in eight is a long one.
  constexpr std::uint32_t kCorto = 8;
  constexpr std::size_t kLargo = 5000;
  const std::size_t tope =
      entrega.azar % kCorto == 0 ? kLargo : 1 + (entrega.azar / kCorto) % kCorto;
  const std::size_t n = std::min({tope, destino.size(), entrega.resto.size()});
  std::memcpy(destino.data(), entrega.resto.data(), n);
  entrega.resto.remove_prefix(n);
  return static_cast<std::ptrdiff_t>(n);
}

[[noreturn]] void fallo(const char* que, std::string_view token) {
  constexpr std::size_t kMuestra = 200;  // enough of the token to recognise it
  (void)std::fprintf(stderr, "broken: %s, token of %zu bytes: \"%.*s\"\n", que, token.size(),
                     static_cast<int>(std::min(token.size(), kMuestra)), token.data());
  std::abort();
}

void comprobar(bool cierto, const char* que, std::string_view token) {
  if (!cierto) fallo(que, token);
}

constexpr bool es_blanco(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// The next token straight from the whole input, for comparison.
std::string_view siguiente_referencia(std::string_view& resto) {
  std::size_t i = 0;
  while (i < resto.size() && es_blanco(resto[i])) ++i;
  std::size_t fin = i;
  while (fin < resto.size() && !es_blanco(resto[fin])) ++fin;
  const std::string_view token = resto.substr(i, fin - i);
  resto.remove_prefix(fin);
  return token;
}

// strtof's verdict: the float, when the whole text is a decimal number in its eyes.
bool strtof_entero(std::string_view token, float& valor) {
  if (token.empty() || token.find_first_not_of("0123456789+-.eE") != std::string_view::npos) {
    return false;  // strtof also takes hexadecimal, inf and nan, which are no decimals
  }
  const std::string texto{token};
  char* fin = nullptr;
  valor = std::strtof(texto.c_str(), &fin);
  return fin == texto.c_str() + texto.size();
}

class Registro {
 public:
  void registrar(float nota, std::string_view token) {
    if (k_ == notas_.size()) *this = Registro{};  // a new class after every 14 grades
    resumen_.registrar_nota(nota);
    notas_[k_++] = std::bit_cast<std::uint32_t>(nota);

    const auto k = static_cast<float>(k_);
    comprobar(resumen_.aprobados >= 0 && static_cast<std::size_t>(resumen_.aprobados) <= k_,
              "0 <= aprobados <= k", token);
    comprobar(resumen_.nota_menor <= resumen_.nota_mayor, "nota_menor <= nota_mayor", token);
    comprobar(registrada(resumen_.nota_menor), "nota_menor is a registered grade", token);
    comprobar(registrada(resumen_.nota_mayor), "nota_mayor is a registered grade", token);
    comprobar(resumen_.suma >= 0.0F && resumen_.suma <= NOTA_MAXIMA * k, "0 <= suma <= 10 k",
              token);
  }

 private:
  [[nodiscard]] bool registrada(float nota) const {
    return std::find(notas_.begin(), notas_.begin() + static_cast<std::ptrdiff_t>(k_),
                     std::bit_cast<std::uint32_t>(nota)) !=
           notas_.begin() + static_cast<std::ptrdiff_t>(k_);
  }

  ResumenNotas resumen_;
  std::array<std::uint32_t, NUM_ESTUDIANTES> notas_{};
  std::size_t k_ = 0;  // grades registered in this class
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* datos, std::size_t largo) {
  std::string_view entrada{reinterpret_cast<const char*>(datos), largo};
  // The first bytes seed the sizes of the reads; the rest is the input.
  std::uint32_t semilla = 0;
  const std::size_t de_semilla = std::min<std::size_t>(sizeof semilla, entrada.size());
  std::memcpy(&semilla, entrada.data(), de_semilla);
  entrada.remove_prefix(de_semilla);
  entrega = Entrega{entrada, semilla | 1U};

  std::string_view referencia = entrada;
  LectorTokens lector{leer_a_trozos};
  Registro registro;
  for (;;) {
    const Token token = lector.siguiente();
    const std::string_view esperado = siguiente_referencia(referencia);
    if (token.tipo == Token::Tipo::fin_de_entrada) {
      comprobar(esperado.empty(), "the input ended early", esperado);
      return 0;
    }
    if (token.tipo == Token::Tipo::demasiado_largo) {
      comprobar(esperado.size() > LectorTokens::LARGO_MAXIMO, "a short token called too long",
                esperado);
      continue;
    }
    comprobar(token.tipo == Token::Tipo::texto, "a read error out of nowhere", esperado);
    comprobar(token.texto == esperado, "the token differs from the input's", esperado);

    float de_strtof = 0.0F;
    const bool es_decimal = strtof_entero(token.texto, de_strtof);
    const std::optional<float> convertido = convertir_decimal(token.texto);
    comprobar(convertido.has_value() == es_decimal, "accepted or refused against strtof",
              token.texto);
    if (!convertido) continue;
    comprobar(std::bit_cast<std::uint32_t>(*convertido) == std::bit_cast<std::uint32_t>(de_strtof),
              "not the float strtof gives", token.texto);
    if (nota_valida(*convertido)) registro.registrar(*convertido, token.texto);
  }
}
