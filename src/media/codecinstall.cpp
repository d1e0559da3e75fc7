#include "codecinstall.h"

#include "medialog.h"

namespace CodecInstall {

void InstallIndeo()
{
    qCDebug(lcMedia) << "InstallIndeo: nothing to install on this system";
}

void InstallMp3Codec()
{
    qCDebug(lcMedia) << "InstallMp3Codec: nothing to install on this system";
}

void InstallMpegDriver()
{
    qCDebug(lcMedia) << "InstallMpegDriver: nothing to install on this system";
}

int installForStartup(const QString& codecKey, bool clipSetting)
{
    int ran = 0;
    if (codecKey.contains(QLatin1String("indeo5")) && clipSetting) {
        InstallIndeo();
        ran |= 1;
    }
    if (codecKey.contains(QLatin1String("mpegaudio"))) {
        InstallMp3Codec();
        ran |= 2;
    }
    return ran;
}

} // namespace CodecInstall
