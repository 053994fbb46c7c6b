// The program's numbers: which values are grades, and the running summary of the accepted ones.
// No input or output here.
#pragma once

#include <cfloat>
#include <cstdint>
#include <limits>

// Every result depends on single-precision rounding after each operation: refuse any build that
// would keep floats in wider registers or relax IEEE arithmetic.
static_assert(FLT_EVAL_METHOD == 0,
              "notas needs float expressions evaluated in single precision (FLT_EVAL_METHOD 0)");
static_assert(std::numeric_limits<float>::is_iec559, "notas needs IEEE 754 single precision");
#if defined(__FAST_MATH__) || (defined(__FINITE_MATH_ONLY__) && __FINITE_MATH_ONLY__)
#error "notas needs strict IEEE arithmetic: do not build it with -ffast-math or -Ofast"
#endif

inline constexpr std::int32_t NUM_ESTUDIANTES = 14;
inline constexpr float NOTA_MINIMA = 0.0F;
inline constexpr float NOTA_MAXIMA = 10.0F;
inline constexpr float NOTA_APROBATORIA = 6.0F;

// True when `nota` lies on the scale, both ends included; NaN lies nowhere.
constexpr bool nota_valida(float nota) { return nota >= NOTA_MINIMA && nota <= NOTA_MAXIMA; }

// The accepted grades folded into a sum, a count of passes and the extremes.
struct ResumenNotas {
  float suma = 0.0F;
  std::int32_t aprobados = 0;
  float nota_mayor = NOTA_MINIMA - 1.0F;  // -1, below every grade: the first one replaces it
  float nota_menor = NOTA_MAXIMA + 1.0F;  // 11, above every grade, likewise

  // `nota` must be a value that nota_valida accepted.
  void registrar_nota(float nota);

  [[nodiscard]] float promedio() const;
  [[nodiscard]] std::int32_t rajados() const { return NUM_ESTUDIANTES - aprobados; }
};
