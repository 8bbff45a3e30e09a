#pragma once

// Plays any one sound of the key map, chosen by its number, for two seconds.
void Zagraj();
