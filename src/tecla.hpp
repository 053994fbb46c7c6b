// The closing wait: one keystroke at the user's console, not from standard input.
#pragma once

// Waits for one key, shows nothing and consumes the whole key. Returns at once where there is no
// console to press a key on.
void esperar_tecla();
