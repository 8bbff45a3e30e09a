#include "piano/sounds.h"

#include <iostream>

#include "piano/keycodes.h"
#include "platform/clock.h"
#include "shell/screen.h"
#include "shell/state.h"

audiere::AudioDevicePtr OtworzUrzadzenie() {
    audiere::AudioDevicePtr urzadzenie(audiere::AdrOpenDevice());
    if (!urzadzenie) {
        std::cout << Zawin("Nie udało się otworzyć urządzenia dźwiękowego, dźwięki nie będą "
                           "słyszalne (wyjście można wybrać zmienną ALSOFT_DRIVERS, np. "
                           "ALSOFT_DRIVERS=pulse)!")
                  << std::endl;
        Klawisz();
    }
    return urzadzenie;
}

audiere::OutputStreamPtr OtworzDzwiek(audiere::AudioDevice *urzadzenie, const std::string &plik) {
    // The file is opened even without a device, so that a missing or broken
    // one is told all the same; nothing is decoded then.
    audiere::SampleSourcePtr zrodlo(audiere::AdrOpenSampleSource(plik.c_str()));
    return audiere::OutputStreamPtr(audiere::AdrOpenSound(urzadzenie, zrodlo.get(), false));
}

bool NieDoZagrania(const audiere::OutputStreamPtr &dzwiek) {
    return !dzwiek && audiere::lastOpenFailure() != audiere::OpenFailure::NoDevice;
}

void UstawGlosnosc(audiere::OutputStream *dzwiek) {
    if (!dzwiek)
        return;
    dzwiek->setVolume(static_cast<float>(Glosnosc) / 10);
    dzwiek->setRepeat(false);
}

void Wyzwol(audiere::OutputStream *dzwiek, int czekajMs) {
    if (!dzwiek)
        return;
    if (dzwiek->isPlaying()) {
        if (czekajMs > 0)
            platform::sleepMs(czekajMs);
        dzwiek->reset();
    } else {
        dzwiek->play();
    }
}

namespace {
const char *powod(audiere::OpenFailure f) {
    using audiere::OpenFailure;
    switch (f) {
    case OpenFailure::NoFile:
        return "Nie ma takiego pliku!";
    case OpenFailure::Unreadable:
        return "Nie można odczytać pliku!";
    case OpenFailure::TooLong:
        return "Dźwięk jest za długi!";
    case OpenFailure::TooManySounds:
        return "Za dużo dźwięków naraz, urządzenie nie ma dla niego miejsca!";
    default:
        return "To nie jest plik dźwiękowy, który ten program umie odczytać!";
    }
}
} // namespace

void ZglosBrakDzwieku(const std::string &plik) {
    std::cout << "Nieznaleziono dźwięku " << plik << std::endl;
    std::cout << powod(audiere::lastOpenFailure()) << std::endl;
}

ZestawDzwiekow::ZestawDzwiekow() : urzadzenie_(OtworzUrzadzenie()) {
    klawisze_.resize(IloscDzwiekow);
    bool brak = false;
    for (int i = 0; i < IloscDzwiekow; ++i) {
        std::cout << "Trwa ładowanie dźwięku " << MapaDzwiekow[i] << "!" << std::endl;
        klawisze_[i] = OtworzDzwiek(urzadzenie_.get(), MapaDzwiekow[i]);
        if (NieDoZagrania(klawisze_[i])) {
            ZglosBrakDzwieku(MapaDzwiekow[i]);
            brak = true;
        }
        UstawGlosnosc(klawisze_[i].get());
    }
    for (int s = 0; s < 4; ++s) {
        if (Klawiszowe[s] == kPustySkrot)
            continue;
        skroty_[s] = OtworzDzwiek(urzadzenie_.get(), Klawiszowe[s]);
        if (NieDoZagrania(skroty_[s])) {
            ZglosBrakDzwieku(Klawiszowe[s]);
            brak = true;
        }
        UstawGlosnosc(skroty_[s].get());
    }
    if (brak) {
        std::cout << "Naciśnij dowolny klawisz, by kontynuować!" << std::endl;
        Klawisz();
    }
}

ZestawDzwiekow::~ZestawDzwiekow() {
    while (!klawisze_.empty())
        klawisze_.pop_back();
    for (int s = 3; s >= 0; --s)
        skroty_[s] = {};
    urzadzenie_ = {};
}

int SlotStrzalki(int kod) {
    switch (kod) {
    case kod::kStrzalkaWGore:
        return 0;
    case kod::kStrzalkaWLewo:
        return 1;
    case kod::kStrzalkaWDol:
        return 2;
    case kod::kStrzalkaWPrawo:
        return 3;
    default:
        return -1;
    }
}
