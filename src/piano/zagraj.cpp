#include "piano/zagraj.h"

void Zagraj() {}
