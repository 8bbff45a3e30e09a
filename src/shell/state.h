// The process-wide tables that every screen shares.
#pragma once

#include <string>

// Key map, filled by KeysInit.
extern int IloscDzwiekow;
extern std::string *MapaDzwiekow;
extern unsigned char *MapaKlawiszy;
extern int *MapaPoziomow;

// Levels, filled by LevelsInit.
extern int IloscPoziomow;
extern std::string *NazwaPoziomow;
extern std::string *OpisPoziomow;

// Settings, filled by InitConfing.
extern int Glosnosc;
extern int *Konfiguracja; // [1] background, [2] letters
extern std::string Klawiszowe[4];

// The empty arrow slot.
inline const char *const kPustySkrot = "0";
