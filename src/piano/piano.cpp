#include "piano/piano.h"

void Graj() {}
