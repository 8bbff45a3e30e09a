// brzdekomat-render: a song file rendered to an audio file.
#include "render/render.h"

int main(int argc, char **argv) {
    return render::Glowna(argc, argv);
}
