// The dialogue, through the built executable run as a child process with no terminal.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "proceso.hpp"

namespace {

namespace fs = std::filesystem;

constexpr std::string_view kBanner = "\tPROGRAMA QUE CALCULA LAS NOTAS DE 14 ESTUDIANTES\n\n\n";
constexpr std::string_view kError = "ERROR, LA NOTA DEBE SER ENTRE 0.00 y 10.00\n";

std::string leer_archivo(const fs::path& ruta) {
  std::ifstream archivo{ruta, std::ios::binary};
  std::ostringstream contenido;
  contenido << archivo.rdbuf();
  return contenido.str();
}

std::string prompt(int estudiante) {
  return "INGRESE NOTA DE ESTUDIANTE  " + std::to_string(estudiante) + "  >>> ";
}

// ---- Golden transcripts: NAME.entrada is fed to standard input, NAME.salida is the exact
// standard output. Where NAME.errores exists the run ends early: that is the exact standard
// error and the status is 1; otherwise standard error stays empty and the status is 0.

std::vector<std::string> transcripciones() {
  std::vector<std::string> nombres;
  for (const auto& archivo : fs::directory_iterator{TRANSCRIPCIONES}) {
    if (archivo.path().extension() == ".entrada") nombres.push_back(archivo.path().stem());
  }
  std::sort(nombres.begin(), nombres.end());
  return nombres;
}

class Transcripcion : public testing::TestWithParam<std::string> {};

TEST_P(Transcripcion, SalidaExactaByteAByte) {
  const fs::path base = fs::path{TRANSCRIPCIONES} / GetParam();
  const fs::path errores = fs::path{base}.replace_extension(".errores");
  const bool incompleta = fs::exists(errores);

  const Terminado t =
      ejecutar(NOTAS_EXE, leer_archivo(fs::path{base}.replace_extension(".entrada")));
  ASSERT_TRUE(t.a_tiempo);
  EXPECT_EQ(t.salida, leer_archivo(fs::path{base}.replace_extension(".salida")));
  EXPECT_EQ(t.errores, incompleta ? leer_archivo(errores) : "");
  EXPECT_EQ(t.estado, incompleta ? 1 : 0);
}

INSTANTIATE_TEST_SUITE_P(Dialogo, Transcripcion, testing::ValuesIn(transcripciones()),
                         [](const auto& caso) { return caso.param; });

// ---- A driver that answers each prompt only once it has read it never deadlocks, even when
// another program left standard input non-blocking.

class Conversacion : public testing::TestWithParam<bool> {};

TEST_P(Conversacion, CadaPromptLlegaAntesDeLaEsperaDeLaRespuesta) {
  Proceso notas{NOTAS_EXE, Opciones{.entrada_no_bloqueante = GetParam()}};
  ASSERT_TRUE(notas.leer_hasta(std::string{kBanner} + prompt(1)));
  // A refused value: its error line must arrive before the program waits for the retry.
  std::size_t visto = notas.salida().size();
  ASSERT_TRUE(notas.escribir("11\n"));
  ASSERT_TRUE(notas.leer_hasta(kError, visto));
  for (int estudiante = 1; estudiante <= 14; ++estudiante) {
    visto = notas.salida().size();
    ASSERT_TRUE(notas.escribir("7\n"));
    const std::string siguiente = estudiante < 14 ? prompt(estudiante + 1) : "terminar";
    ASSERT_TRUE(notas.leer_hasta(siguiente, visto)) << "after student " << estudiante;
  }
  const Terminado t = notas.terminar();
  EXPECT_EQ(t.estado, 0);
  EXPECT_EQ(t.errores, "");
  EXPECT_NE(t.salida.find(" PROMEDIO DE NOTAS ES  >>> 7.00 \n"), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(Dialogo, Conversacion, testing::Bool(), [](const auto& caso) {
  return std::string{caso.param ? "entrada_no_bloqueante" : "entrada_normal"};
});

// ---- Failures are reported, never passed off as success.

TEST(Dialogo, SalidaQueNoSePuedeEscribir) {
  const struct {
    const char* nombre;
    std::string entrada;
  } casos[] = {
      {"complete run", catorce("5")},
      {"a flood of refused values", repetir("11\n", 300'000)},
  };
  for (const auto& caso : casos) {
    const Terminado t = ejecutar(NOTAS_EXE, caso.entrada, Opciones{.salida = "/dev/full"});
    ASSERT_TRUE(t.a_tiempo) << caso.nombre;
    EXPECT_EQ(t.estado, 1) << caso.nombre;
    EXPECT_EQ(t.errores, "notas: no se pudo escribir la salida: No space left on device\n")
        << caso.nombre;
  }
}

TEST(Dialogo, ErrorDeLecturaDeLaEntrada) {
  // Reading a directory fails with EISDIR.
  const Terminado t = ejecutar(NOTAS_EXE, "", Opciones{.entrada = "/"});
  ASSERT_TRUE(t.a_tiempo);
  EXPECT_EQ(t.estado, 1);
  EXPECT_EQ(t.salida, std::string{kBanner} + prompt(1) + "\n");
  EXPECT_EQ(t.errores, "notas: error al leer la nota del estudiante 1: Is a directory\n");
}

// ---- Memory stays bounded whatever the input.

TEST(Dialogo, UnTokenDeCienMegasCuestaUnaLineaDeError) {
  // Peak memory once the token has been refused, against a short token refused the same way.
  const auto memoria_tras = [](const std::string& token) {
    Proceso notas{NOTAS_EXE};
    EXPECT_TRUE(notas.escribir(token + "\n"));
    EXPECT_TRUE(notas.leer_hasta(kError));
    const long memoria = notas.memoria_pico_kib();
    EXPECT_TRUE(notas.escribir(catorce("5")));
    const Terminado t = notas.terminar();
    EXPECT_EQ(t.estado, 0);
    EXPECT_EQ(t.salida.find(kError), t.salida.rfind(kError)) << "more than one error line";
    return memoria;
  };
  const long corto = memoria_tras("abc");
  const long enorme = memoria_tras(std::string(100 << 20, '7'));
  ASSERT_GT(corto, 0);
  EXPECT_LT(enorme, corto + 256);
}

TEST(Dialogo, NumeroDeMilVeinticuatroCaracteresSeConvierteExacto) {
  // 5.9999997615814208984375 is the tie between 5.99999952 and 6: a last digit above it, 1024
  // characters in, makes the grade 6.0, a pass.
  const std::string tie = "5.9999997615814208984375";
  const std::string nota = tie + std::string(1024 - tie.size() - 1, '0') + "1";
  const Terminado t = ejecutar(NOTAS_EXE, nota + "\n" + catorce("0"));
  EXPECT_EQ(t.estado, 0);
  EXPECT_NE(t.salida.find(" ESTUDIANTES APROBADOS >>> 1 \n"), std::string::npos);
  EXPECT_EQ(t.salida.find(kError), std::string::npos);
}

}  // namespace
