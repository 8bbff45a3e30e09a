// The backend that really plays: OpenAL Soft for output, libsndfile for decoding.
#pragma once

#include "platform/audio.h"

namespace audiere {
Backend &openalBackend();
}
