#include "shell/state.h"

int IloscDzwiekow = 0;
std::string *MapaDzwiekow = nullptr;
unsigned char *MapaKlawiszy = nullptr;
int *MapaPoziomow = nullptr;

int IloscPoziomow = 0;
std::string *NazwaPoziomow = nullptr;
std::string *OpisPoziomow = nullptr;

int Glosnosc = 0;
int *Konfiguracja = nullptr;
std::string Klawiszowe[4];
