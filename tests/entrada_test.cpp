#include "entrada.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <limits>
#include <optional>
#include <string>
#include <vector>

#include "resumen_notas.hpp"

namespace {

constexpr float kInf = std::numeric_limits<float>::infinity();

// ---- Conversion of one token ----

struct Conversion {
  const char* texto;
  float valor;  // nine significant digits name one float exactly
};

TEST(ConvertirDecimal, FormasDecimalesAlFloatMasCercano) {
  const Conversion casos[] = {
      {"0", 0.0F},
      {"10", 10.0F},
      {"+5", 5.0F},
      {"5.", 5.0F},
      {".5", 0.5F},
      {"007.50", 7.5F},
      {"75e-1", 7.5F},
      {"0.075E+2", 7.5F},
      {"5.99", 5.98999977F},
      {"5.99999999", 6.0F},
      {"10.0000001", 10.0F},
      {"10.000001", 10.0000010F},
      {"-0.000000001", -9.99999972e-10F},
      // One step off a tie between two floats: decided by the last digit, never by a double.
      {"5.9999997615814208984374999", 5.99999952F},
      {"5.9999997615814208984375001", 6.0F},
      {"10.0000004768371582031250001", 10.0000010F},
      {"10.000000476837158203125", 10.0F},  // the tie itself goes to the even float
      // Out of the float range: an infinity above, a zero or a subnormal below.
      {"1e999", kInf},
      {"-1e999", -kInf},
      {"1e99999999999999999999", kInf},
      {"340282356779733661637539395458142568448", kInf},
      {"1e-50", 0.0F},
      {"0.0000000000000000000000000000000000000000000000000001", 0.0F},
      {"1e-45", std::numeric_limits<float>::denorm_min()},
      {"1e-99999999999999999999", 0.0F},
  };
  for (const Conversion& caso : casos) {
    const std::optional<float> valor = convertir_decimal(caso.texto);
    ASSERT_TRUE(valor.has_value()) << caso.texto;
    EXPECT_EQ(*valor, caso.valor) << caso.texto;
  }
}

TEST(ConvertirDecimal, ElSignoSobreviveAlDesborde) {
  EXPECT_TRUE(std::signbit(*convertir_decimal("-1e-50")));
  EXPECT_TRUE(std::signbit(*convertir_decimal("-0")));
  EXPECT_FALSE(std::signbit(*convertir_decimal("1e-50")));
}

TEST(ConvertirDecimal, RechazaLoQueNoEsEnteroUnNumero) {
  const char* const casos[] = {"",    "abc", "7,5",  "5abc", "--1",   "+-1", "5e",
                               "5e+", "e5",  ".",    "+",    "-",     ".e1", "inf",
                               "nan", "NaN", "0x10", "1..2", "1.2.3", "5 ",  " 5"};
  for (const char* texto : casos) {
    EXPECT_FALSE(convertir_decimal(texto).has_value()) << '"' << texto << '"';
  }
  EXPECT_FALSE(convertir_decimal(std::string_view{"5\0", 2}).has_value());
}

TEST(ConvertirDecimal, NumerosDeMilVeinticuatroCaracteresSonExactos) {
  // Just below and just above the tie between 5.99999952 and 6: only the 1024th character decides.
  const std::string tie = "5.999999761581420898437";
  std::string debajo = tie + "4" + std::string(LectorTokens::LARGO_MAXIMO - tie.size() - 1, '9');
  std::string encima = tie + "5" + std::string(LectorTokens::LARGO_MAXIMO - tie.size() - 2, '0');
  encima += '1';
  ASSERT_EQ(debajo.size(), LectorTokens::LARGO_MAXIMO);
  ASSERT_EQ(encima.size(), LectorTokens::LARGO_MAXIMO);
  EXPECT_EQ(convertir_decimal(debajo), 5.99999952F);
  EXPECT_EQ(convertir_decimal(encima), 6.0F);
}

// What the dialogue makes of a typed value, from text to the summary.
TEST(ConvertirDecimal, ValoresEscritosAceptadosYAprobados) {
  const struct {
    const char* texto;
    bool valida;
    bool aprueba;
  } casos[] = {
      {"0", true, false},          {"10", true, true},
      {"6", true, true},           {"5.99", true, false},
      {"5.99999999", true, true},  {"10.0000001", true, true},
      {"10.000001", false, false}, {"-0.000000001", false, false},
      {"-0", true, false},         {"1e-50", true, false},
      {"1e999", false, false},
  };
  for (const auto& caso : casos) {
    const float nota = convertir_decimal(caso.texto).value();
    EXPECT_EQ(nota_valida(nota), caso.valida) << caso.texto;
    if (caso.valida) {
      ResumenNotas resumen;
      resumen.registrar_nota(nota);
      EXPECT_EQ(resumen.aprobados, caso.aprueba ? 1 : 0) << caso.texto;
    }
  }
}

// ---- Splitting the input into tokens ----

// The input a test feeds to the reader, handed over a few bytes per call.
struct FuentePrueba {
  std::string datos;
  std::size_t trozo = 1;
  std::size_t leido = 0;
  int llamadas_tras_el_final = 0;
  int error = 0;  // once the data is consumed: fail with this errno instead of ending
};
FuentePrueba fuente;  // FuenteBytes carries no context

std::ptrdiff_t leer_de_prueba(std::span<char> destino) {
  if (fuente.leido == fuente.datos.size()) {
    ++fuente.llamadas_tras_el_final;
    if (fuente.error != 0) {
      errno = fuente.error;
      return -1;
    }
    return 0;
  }
  const std::size_t n =
      std::min({fuente.trozo, destino.size(), fuente.datos.size() - fuente.leido});
  std::memcpy(destino.data(), fuente.datos.data() + fuente.leido, n);
  fuente.leido += n;
  return static_cast<std::ptrdiff_t>(n);
}

// Every token as text, "<largo>" for a too long one, and "<fin>" or "<error N>" at the end.
std::vector<std::string> tokens(std::string datos, std::size_t trozo, int error = 0) {
  fuente = FuentePrueba{std::move(datos), trozo, 0, 0, error};
  LectorTokens lector{leer_de_prueba};
  std::vector<std::string> vistos;
  for (;;) {
    const Token token = lector.siguiente();
    switch (token.tipo) {
      case Token::Tipo::texto:
        vistos.emplace_back(token.texto);
        continue;
      case Token::Tipo::demasiado_largo:
        vistos.emplace_back("<largo>");
        continue;
      case Token::Tipo::fin_de_entrada:
        vistos.emplace_back("<fin>");
        break;
      case Token::Tipo::error_de_lectura:
        vistos.push_back("<error " + std::to_string(token.error) + ">");
        break;
    }
    // Once ended, it stays ended without asking the source again.
    const int llamadas = fuente.llamadas_tras_el_final;
    EXPECT_EQ(lector.siguiente().tipo, token.tipo);
    EXPECT_EQ(fuente.llamadas_tras_el_final, llamadas);
    return vistos;
  }
}

using Lista = std::vector<std::string>;

TEST(LectorTokens, ElCorteDeLasLecturasNoCambiaLosTokens) {
  const struct {
    std::string datos;
    Lista esperados;
  } casos[] = {
      {"", {"<fin>"}},
      {" \n\t\r\n\v\f", {"<fin>"}},
      {"7.5\n", {"7.5", "<fin>"}},
      {"5 6 7\n", {"5", "6", "7", "<fin>"}},
      {"\n\n  11\t12 5\r\n", {"11", "12", "5", "<fin>"}},
      {"9", {"9", "<fin>"}},  // the end of the input ends the last token
      {"abc 7,5 5abc", {"abc", "7,5", "5abc", "<fin>"}},
      {std::string{"a\0b 5", 5}, {std::string{"a\0b", 3}, "5", "<fin>"}},
  };
  for (const auto& caso : casos) {
    for (const std::size_t trozo :
         {std::size_t{1}, std::size_t{2}, std::size_t{3}, std::size_t{1} << 20}) {
      EXPECT_EQ(tokens(caso.datos, trozo), caso.esperados)
          << testing::PrintToString(caso.datos) << " in pieces of " << trozo;
    }
  }
}

TEST(LectorTokens, UnTokenDemasiadoLargoSeConsumeEntero) {
  const std::string justo(LectorTokens::LARGO_MAXIMO, '7');
  const std::string largo(LectorTokens::LARGO_MAXIMO + 1, '7');
  EXPECT_EQ(tokens(justo + " 5", 100), (Lista{justo, "5", "<fin>"}));
  EXPECT_EQ(tokens(largo + " 5", 100), (Lista{"<largo>", "5", "<fin>"}));
  EXPECT_EQ(tokens(std::string(1'000'000, 'x') + "\n5", 4096), (Lista{"<largo>", "5", "<fin>"}));
  EXPECT_EQ(tokens(largo, 7), (Lista{"<largo>", "<fin>"}));
}

TEST(LectorTokens, UnErrorDeLecturaSeInformaYNoCortaUnToken) {
  const std::string eio = "<error " + std::to_string(EIO) + ">";
  EXPECT_EQ(tokens("5 6 ", 1, EIO), (Lista{"5", "6", eio}));
  // "12" cut short by the error must not pass for a grade of 12.
  EXPECT_EQ(tokens("5 12", 1, EIO), (Lista{"5", eio}));
}

TEST(LeerNumero, ClasificaCadaToken) {
  fuente = FuentePrueba{"7.5 abc " + std::string(2000, '1') + " 1e999", 3, 0, 0, 0};
  LectorTokens lector{leer_de_prueba};
  const Lectura a = leer_numero(lector);
  EXPECT_EQ(a.tipo, Lectura::Tipo::numero);
  EXPECT_EQ(a.valor, 7.5F);
  EXPECT_EQ(leer_numero(lector).tipo, Lectura::Tipo::no_es_numero);
  EXPECT_EQ(leer_numero(lector).tipo, Lectura::Tipo::no_es_numero);
  const Lectura d = leer_numero(lector);
  EXPECT_EQ(d.tipo, Lectura::Tipo::numero);
  EXPECT_EQ(d.valor, kInf);
  EXPECT_EQ(leer_numero(lector).tipo, Lectura::Tipo::fin_de_entrada);
}

}  // namespace
