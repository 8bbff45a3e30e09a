// Keys.tdf: which key plays which sound file in which level.
#pragma once

// Fills the key map tables. A missing or unusable Keys.tdf ends the program.
int KeysInit();
// Fills the level tables; returns 0 and leaves no levels when Levels.tdf is
// missing or unusable.
int LevelsInit();
