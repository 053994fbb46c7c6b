#include "resumen_notas.hpp"

void ResumenNotas::registrar_nota(float nota) {
  if (nota >= NOTA_APROBATORIA) ++aprobados;
  // Strict comparisons: among equal grades the first one registered stays.
  if (nota > nota_mayor) nota_mayor = nota;
  if (nota < nota_menor) nota_menor = nota;
  suma += nota;
}

float ResumenNotas::promedio() const {
  // Divides by the class size, not by a count of grades, always in single precision.
  return suma / static_cast<float>(NUM_ESTUDIANTES);
}
