#include "songs/creator.h"

void Stworz() {}
