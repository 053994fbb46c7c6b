#include <conio.h>

#include "tecla.hpp"

void esperar_tecla() {
  // Arrows and function keys arrive as a prefix and a second code: take both.
  const int tecla = _getch();
  if (tecla == 0 || tecla == 0xE0) (void)_getch();
}
