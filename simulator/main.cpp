// vorlan2: simulates case-control genetic association data from a reference panel.
#include "simulator/run_driver.h"

int main(int argc, char** argv) { return run_vorlan2(argc, argv); }
