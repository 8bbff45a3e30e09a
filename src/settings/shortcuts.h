// The arrow-key shortcuts: overview menu, binding and clearing a slot.
#pragma once

// Runs until the user chooses 0 (or input ends).
void Klaw();
// Binds one sound of a chosen level to an arrow.
void Skrot();
// Clears an arrow.
void SkrotUsun();
