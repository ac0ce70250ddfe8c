// Machine constants of the distribution functions: integer parameters of the
// number formats and the double-precision constants derived from them.
#pragma once

// Table entry i (1 to 10) of the IEEE / 32-bit integer parameters.
int ipmpar(int* i);

// i <= 1: relative precision; i = 2: smallest positive normal; i >= 3: largest double.
double spmpar(int* i);
