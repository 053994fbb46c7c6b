#include "resumen_notas.hpp"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdio>
#include <limits>
#include <string>
#include <vector>

namespace {

// The two-decimal form the report prints.
std::string dos_decimales(float valor) {
  std::array<char, 32> texto{};
  (void)std::snprintf(texto.data(), texto.size(), "%.2f", static_cast<double>(valor));
  return texto.data();
}

ResumenNotas registrar(const std::vector<float>& notas) {
  ResumenNotas resumen;
  for (const float nota : notas) resumen.registrar_nota(nota);
  return resumen;
}

std::vector<float> repetir(float nota, int veces, std::vector<float> antes = {}) {
  antes.insert(antes.end(), static_cast<std::size_t>(veces), nota);
  return antes;
}

struct Corrida {
  const char* nombre;
  std::vector<float> notas;
  float suma;  // nine significant digits name one float exactly
  float promedio;
  const char* promedio_impreso;
  int aprobados;
  float mayor;
  float menor;
};

// Names the case in test listings instead of dumping its bytes.
void PrintTo(const Corrida& caso, std::ostream* os) { *os << caso.nombre; }

class CorridaCompleta : public testing::TestWithParam<Corrida> {};

TEST_P(CorridaCompleta, SumaRedondeadaEnCadaPasoYResultados) {
  const Corrida& c = GetParam();
  ASSERT_EQ(c.notas.size(), static_cast<std::size_t>(NUM_ESTUDIANTES));
  const ResumenNotas r = registrar(c.notas);
  EXPECT_EQ(r.suma, c.suma);
  EXPECT_EQ(r.promedio(), c.promedio);
  EXPECT_EQ(dos_decimales(r.promedio()), c.promedio_impreso);
  EXPECT_EQ(r.aprobados, c.aprobados);
  EXPECT_EQ(r.rajados(), NUM_ESTUDIANTES - c.aprobados);
  EXPECT_EQ(r.nota_mayor, c.mayor);
  EXPECT_EQ(r.nota_menor, c.menor);
}

INSTANTIATE_TEST_SUITE_P(
    Tabla, CorridaCompleta,
    testing::Values(Corrida{"catorce_dieces", repetir(10.0F, 14), 140.0F, 10.0F, "10.00", 14, 10.0F,
                            10.0F},
                    Corrida{"catorce_ceros", repetir(0.0F, 14), 0.0F, 0.0F, "0.00", 0, 0.0F, 0.0F},
                    Corrida{"trece_ceros_y_un_seis", repetir(6.0F, 1, repetir(0.0F, 13)), 6.0F,
                            0.428571433F, "0.43", 1, 6.0F, 0.0F},
                    // 0.1 is stored as 0.100000001; the rounded running sum drifts to 1.40000021.
                    Corrida{"catorce_decimos", repetir(0.1F, 14), 1.40000021F, 0.100000016F, "0.10",
                            0, 0.100000001F, 0.100000001F},
                    // A double sum would print 7.34 here.
                    Corrida{"catorce_7_345", repetir(7.345F, 14), 102.830009F, 7.34500074F, "7.35",
                            14, 7.34499979F, 7.34499979F},
                    // A double division would give 0.475000007 and print 0.48.
                    Corrida{"trece_ceros_y_6_65", repetir(6.65F, 1, repetir(0.0F, 13)), 6.6500001F,
                            0.474999994F, "0.47", 1, 6.6500001F, 0.0F},
                    // The same grades in two orders give two different averages.
                    Corrida{"cincos_y_luego_5_17", repetir(5.17F, 7, repetir(5.0F, 7)), 71.1899872F,
                            5.08499908F, "5.08", 0, 5.17000008F, 5.0F},
                    Corrida{"5_17_y_luego_cincos", repetir(5.0F, 7, repetir(5.17F, 7)), 71.1900024F,
                            5.08500004F, "5.09", 0, 5.17000008F, 5.0F},
                    Corrida{"ejemplo_completo",
                            {7.5F, 10.0F, 0.0F, 6.0F, 5.99F, 8.0F, 9.25F, 4.0F, 6.5F, 3.0F, 7.0F,
                             8.5F, 5.0F, 9.0F},
                            89.7399979F,
                            6.40999985F,
                            "6.41",
                            9,
                            10.0F,
                            0.0F}),
    [](const testing::TestParamInfo<Corrida>& caso) { return std::string{caso.param.nombre}; });

TEST(ResumenNotas, EmpiezaFueraDeLaEscala) {
  const ResumenNotas r;
  EXPECT_EQ(r.suma, 0.0F);
  EXPECT_FALSE(std::signbit(r.suma));
  EXPECT_EQ(r.aprobados, 0);
  EXPECT_EQ(r.nota_mayor, -1.0F);
  EXPECT_EQ(r.nota_menor, 11.0F);
}

TEST(ResumenNotas, SeisApruebaYCincoNoventaYNueveNo) {
  EXPECT_EQ(registrar({6.0F}).aprobados, 1);
  EXPECT_EQ(registrar({5.99F}).aprobados, 0);
  EXPECT_EQ(registrar({std::nextafter(6.0F, 0.0F)}).aprobados, 0);
}

TEST(ResumenNotas, ElPrimeroDeLosIgualesEsElQueQueda) {
  // A negative zero registered first stays as both extremes: equal grades never replace it.
  const ResumenNotas r = registrar({-0.0F, 0.0F, 0.0F});
  EXPECT_TRUE(std::signbit(r.nota_menor));
  EXPECT_TRUE(std::signbit(r.nota_mayor));
  EXPECT_FALSE(std::signbit(r.suma));  // 0 + -0 is +0
  EXPECT_EQ(r.aprobados, 0);

  const ResumenNotas s = registrar({0.0F, -0.0F, 3.0F});
  EXPECT_FALSE(std::signbit(s.nota_menor));
  EXPECT_EQ(s.nota_mayor, 3.0F);
}

TEST(NotaValida, AceptaLaEscalaConSusExtremos) {
  constexpr float inf = std::numeric_limits<float>::infinity();
  const struct {
    float nota;
    bool valida;
  } casos[] = {
      {0.0F, true},
      {-0.0F, true},
      {10.0F, true},
      {6.0F, true},
      {std::nextafter(10.0F, 11.0F), false},
      {-std::numeric_limits<float>::denorm_min(), false},
      {-1.0F, false},
      {10.5F, false},
      {inf, false},
      {-inf, false},
      {std::numeric_limits<float>::quiet_NaN(), false},
  };
  for (const auto& caso : casos) {
    EXPECT_EQ(nota_valida(caso.nota), caso.valida) << caso.nota;
  }
}

}  // namespace
