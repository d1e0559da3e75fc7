#pragma once

// The pictures of the skin as the window decodes them. A picture named by many elements is decoded
// once and shared (QImage is implicitly shared). A picture is refused, before it is decoded, when
// its header declares more than PictureLimits allow; the pictures of one cache together stay within
// a budget of decoded bytes. A refused picture is an empty one, as a missing picture is, and
// leaves one line in the velbrook.skin category.

#include <QHash>
#include <QImage>
#include <QSet>
#include <QString>

class QByteArray;
class SkinScript;
class TReadBin;

struct PictureLimits
{
    // The largest side, and the most pixels, of one picture: 4096 x 4096 pixels (64 MiB decoded)
    // is several times the largest screen a skin is drawn for; a side may be longer when the
    // picture is narrow (a strip of button faces).
    int maxSide = 16384;
    qint64 maxPixels = 4096LL * 4096;
    // Decoded bytes of one cache: every picture of a screen, and the copies that get captions.
    qint64 budget = 256LL * 1024 * 1024;
};

class PictureCache
{
public:
    explicit PictureCache(const TReadBin& container, PictureLimits limits = {});

    // The container's entry decoded in Format_RGB32, the same shared picture for every call with
    // that name (any case). Empty for an empty name, a missing entry, no picture, a picture beyond
    // the limits, or one the budget has no room for.
    QImage picture(const QString& name);

    // Room in the budget for bytes more (a copy of a picture about to be drawn on); false once the
    // budget would be passed, with one line the first time.
    bool reserve(qint64 bytes);

    qint64 spent() const { return m_spent; }

    // One picture decoded in Format_RGB32 without a cache; empty when it is no picture or declares
    // more than limits allow (why, when given, then says which).
    static QImage Decode(const QByteArray& bytes, const PictureLimits& limits = {}, QString* why = nullptr);
    // Whether bytes are a picture within limits, from the header alone: empty, or why not.
    static QString check(const QByteArray& bytes, const PictureLimits& limits = {});

private:
    const TReadBin& m_container;
    PictureLimits m_limits;
    QHash<QString, QImage> m_pictures; // by lower-cased name; empty pictures too
    qint64 m_spent = 0;
    bool m_budgetWarned = false;
};

// Why the first screen of a skin cannot be shown, or empty: it is usable when the script declares
// it with a background picture that the container holds and that is a picture within limits
// (from its header; it is not decoded here). Without it the window would open black, with no size
// and nothing to click.
QString firstScreenProblem(const SkinScript& script, const TReadBin& container, const PictureLimits& limits = {});
