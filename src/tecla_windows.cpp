#include <conio.h>

#include "tecla.hpp"

void esperar_tecla() {
  // Arrows and function keys arrive as a prefix and a second code: take both.
  constexpr int kPrefijoFuncion = 0x00;
  constexpr int kPrefijoExtendida = 0xE0;
  const int tecla = _getch();
  if (tecla == kPrefijoFuncion || tecla == kPrefijoExtendida) (void)_getch();
}
