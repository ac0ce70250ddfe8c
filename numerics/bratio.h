// Regularised incomplete beta function ratio I_x(a, b) and its complement.
#pragma once

// w = I_x(a, b), w1 = 1 - I_x(a, b), with y = 1 - x given separately so
// that either tail keeps full precision. ierr: 0 computed; 1 a or b negative;
// 2 a = b = 0; 3 x outside [0, 1]; 4 y outside [0, 1]; 5 x + y differs from 1;
// 6 x = a = 0; 7 y = b = 0; 8 the computation broke down (w = w1 = NaN).
// A NaN argument fails the check of its own code. w and w1 are 0 for 1 to 7.
void bratio(double* a, double* b, double* x, double* y, double* w, double* w1, int* ierr);
