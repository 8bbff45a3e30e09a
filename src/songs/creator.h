#pragma once

void Stworz();
