// notas: asks for the grades of the class, one student after another, and reports their average,
// how many passed and failed, and the highest and lowest grade.
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "entrada.hpp"
#include "resumen_notas.hpp"
#include "tecla.hpp"

namespace {

// Output that never reached its destination must not end in success. `error` is the errno of the
// failed write, taken where the failure was seen.
int salida_fallida(int error) {
  // A failed write to standard error leaves nothing more to report to, here and below.
  (void)std::fprintf(stderr, "notas: no se pudo escribir la salida: %s\n", std::strerror(error));
  return 1;
}

// The input ended or failed before the class was complete: no report.
int entrada_incompleta(const Lectura& lectura, int estudiante, bool tras_el_prompt) {
  // Leave the prompt's line, so the message stands on a line of its own.
  if (tras_el_prompt) std::putchar('\n');
  (void)std::fflush(stdout);  // the exit status reports the failure anyway
  if (lectura.tipo == Lectura::Tipo::error_de_lectura) {
    (void)std::fprintf(stderr, "notas: error al leer la nota del estudiante %d: %s\n", estudiante,
                       std::strerror(lectura.error));
  } else {
    (void)std::fprintf(stderr, "notas: la entrada termino sin la nota del estudiante %d\n",
                       estudiante);
  }
  return 1;
}

}  // namespace

int main() {
  ResumenNotas resumen;
  LectorTokens entrada{leer_entrada_estandar};

  std::puts("\tPROGRAMA QUE CALCULA LAS NOTAS DE 14 ESTUDIANTES\n");
  std::putchar('\n');

  for (int estudiante = 1; estudiante <= NUM_ESTUDIANTES; ++estudiante) {
    std::printf("INGRESE NOTA DE ESTUDIANTE  %d  >>> ", estudiante);
    for (bool primer_intento = true;; primer_intento = false) {
      const Lectura lectura = leer_numero(entrada);
      if (std::ferror(stdout) != 0) return salida_fallida(errno);
      if (lectura.tipo == Lectura::Tipo::fin_de_entrada ||
          lectura.tipo == Lectura::Tipo::error_de_lectura) {
        return entrada_incompleta(lectura, estudiante, primer_intento);
      }
      if (lectura.tipo == Lectura::Tipo::numero && nota_valida(lectura.valor)) {
        resumen.registrar_nota(lectura.valor);
        break;
      }
      std::puts("ERROR, LA NOTA DEBE SER ENTRE 0.00 y 10.00");
    }
  }

  // The grades are floats; printf takes them widened to double, which is exact.
  std::puts("\n");
  std::puts("RESULTADOS DE LAS NOTAS DE LOS 14 ESTUDIANTES\n");
  std::printf(" PROMEDIO DE NOTAS ES  >>> %.2f \n", static_cast<double>(resumen.promedio()));
  std::printf(" ESTUDIANTES APROBADOS >>> %d \n ", resumen.aprobados);
  std::printf("ESTUDIANTES RAJADOS   >>> %d \n ", resumen.rajados());
  std::printf("LA NOTA MAYOR FUE     >>> %.2f \n ", static_cast<double>(resumen.nota_mayor));
  std::printf("LA NOTA MENOR FUE     >>> %.2f \n ", static_cast<double>(resumen.nota_menor));
  std::putchar('\n');
  std::puts("GRACIAS POR USAR ESTE PROGRAMA");
  std::putchar('\n');
  std::printf("Precione ENTER para terminar");

  if (std::fflush(stdout) != 0 || std::ferror(stdout) != 0) return salida_fallida(errno);
  esperar_tecla();
  return 0;
}
