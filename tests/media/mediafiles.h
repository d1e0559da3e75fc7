#pragma once

// Media fixtures made by ffmpeg at test time: short clips with and without pictures. A fixture
// that cannot be made ends the test program.

#include <QProcess>
#include <QString>
#include <QStringList>

// Runs ffmpeg with the given arguments after the common ones; the output file is the last one.
inline void makeMedia(const QStringList& arguments)
{
    QProcess ffmpeg;
    ffmpeg.start(QStringLiteral("ffmpeg"),
                 QStringList{QStringLiteral("-hide_banner"), QStringLiteral("-nostdin"), QStringLiteral("-loglevel"),
                             QStringLiteral("error"), QStringLiteral("-y")} +
                     arguments);
    if (!ffmpeg.waitForFinished(120000) || ffmpeg.exitStatus() != QProcess::NormalExit || ffmpeg.exitCode() != 0)
        qFatal("ffmpeg could not make %s: %s", qPrintable(arguments.last()), ffmpeg.readAllStandardError().constData());
}

// A tone of the given length (seconds, may be fractional) in the format the name's extension says.
inline void makeTone(const QString& file, double seconds, int frequency = 440)
{
    makeMedia({QStringLiteral("-f"), QStringLiteral("lavfi"), QStringLiteral("-i"),
               QStringLiteral("sine=frequency=%1:duration=%2").arg(frequency).arg(seconds), file});
}

// A clip of moving test pictures with sound, size w x h, in an AVI file.
inline void makeClip(const QString& file, double seconds, int width = 160, int height = 120)
{
    makeMedia({QStringLiteral("-f"), QStringLiteral("lavfi"), QStringLiteral("-i"),
               QStringLiteral("testsrc=size=%1x%2:rate=25:duration=%3").arg(width).arg(height).arg(seconds),
               QStringLiteral("-f"), QStringLiteral("lavfi"), QStringLiteral("-i"),
               QStringLiteral("sine=frequency=330:duration=%1").arg(seconds), QStringLiteral("-c:v"),
               QStringLiteral("mpeg4"), QStringLiteral("-c:a"), QStringLiteral("pcm_s16le"),
               QStringLiteral("-shortest"), file});
}
