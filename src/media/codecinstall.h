#pragma once

// Installing the codecs and the MPEG driver that a disc for another system carries: there is
// nothing to install here (the player brings its own decoders), so the operations are empty and
// only their triggers remain, each leaving one debug line.

#include <QString>

namespace CodecInstall {

void InstallIndeo();
void InstallMp3Codec();
void InstallMpegDriver();
// At start-up: by the words of the skin's "codec" key, the Indeo codec only with the start clip
// setting on. Returns which ran, for tests: bit 0 Indeo, bit 1 MPEG audio.
int installForStartup(const QString& codecKey, bool clipSetting);

} // namespace CodecInstall
