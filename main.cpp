// Placeholder entry until the framework lands.
#include "frontend/QuadrellApp.h"
int main(int, char*[]) { return 0; }
