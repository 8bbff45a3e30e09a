#include "songs/playback.h"

void PlayPr() {}
