// The event log Log.txt: a header line, then one tagged line per event.
#pragma once

#include <string>

// Empties Log.txt and writes its header line.
void LogClear();
// Appends one entry; a type outside 1 to 5 is logged under the wrong-type tag.
void Log(int type, std::string text);
