#pragma once

// The program's own alarm tone, rung when an alarm's sound file cannot be played: it is made
// here, sample by sample, so it needs no file that could be missing.

#include <QByteArray>

namespace zembra {

// A complete WAV file (16-bit mono PCM): two groups of four short beeps, about three seconds.
QByteArray BuiltInToneWav();

} // namespace zembra
