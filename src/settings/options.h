// The options menu and the two colour screens.
#pragma once

// Runs until the user chooses 0 (or input ends).
void Opcje();
// Letter colour.
void KolorL();
// Background colour.
void KolorT();
