#include "settings/options.h"

void Opcje() {}
