#pragma once

// Chooses the volume 0 to 10 and saves it.
void Glos();
