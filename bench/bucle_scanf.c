/* The yardstick for bench/medir.sh: the same dialogue as a plain scanf/printf loop, with none of
 * notas's input handling (it would loop forever on junk or at the end of the input). */
#include <stdio.h>

int main(void) {
  float nota = 0.0f, suma = 0.0f, mayor = -1.0f, menor = 11.0f;
  int aprobados = 0;
  puts("\tPROGRAMA QUE CALCULA LAS NOTAS DE 14 ESTUDIANTES\n");
  putchar('\n');
  for (int estudiante = 1; estudiante <= 14; ++estudiante) {
    printf("INGRESE NOTA DE ESTUDIANTE  %d  >>> ", estudiante);
    if (scanf("%f", &nota) != 1) return 1;
    while (!(nota >= 0.0f && nota <= 10.0f)) {
      puts("ERROR, LA NOTA DEBE SER ENTRE 0.00 y 10.00");
      if (scanf("%f", &nota) != 1) return 1;
    }
    if (nota >= 6.0f) ++aprobados;
    if (nota > mayor) mayor = nota;
    if (nota < menor) menor = nota;
    suma += nota;
  }
  puts("\n");
  puts("RESULTADOS DE LAS NOTAS DE LOS 14 ESTUDIANTES\n");
  printf(" PROMEDIO DE NOTAS ES  >>> %.2f \n", (double)(suma / 14.0f));
  printf(" ESTUDIANTES APROBADOS >>> %d \n ", aprobados);
  printf("ESTUDIANTES RAJADOS   >>> %d \n ", 14 - aprobados);
  printf("LA NOTA MAYOR FUE     >>> %.2f \n ", (double)mayor);
  printf("LA NOTA MENOR FUE     >>> %.2f \n ", (double)menor);
  putchar('\n');
  puts("GRACIAS POR USAR ESTE PROGRAMA");
  putchar('\n');
  printf("Precione ENTER para terminar");
  return 0;
}
