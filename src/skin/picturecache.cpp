#include "picturecache.h"

#include "picturebytes.h"
#include "readbin.h"
#include "skinlog.h"
#include "skinscript.h"

#include <QBuffer>
#include <QImageReader>

namespace {

constexpr qint64 kBytesPerPixel = 4; // Format_RGB32

// Why a picture of size is beyond limits, or empty.
QString sizeProblem(QSize size, const PictureLimits& limits)
{
    if (size.width() > limits.maxSide || size.height() > limits.maxSide ||
        qint64(size.width()) * size.height() > limits.maxPixels)
        return QStringLiteral("%1x%2 pixels is larger than a skin picture may be (%3 pixels, %4 a side)")
            .arg(size.width())
            .arg(size.height())
            .arg(limits.maxPixels)
            .arg(limits.maxSide);
    return {};
}

QSize declaredSize(const QByteArray& bytes)
{
    QByteArray data = bytes; // shared, not copied
    QBuffer buffer(&data);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    nameReaderFormat(reader, bytes);
    return reader.size();
}

} // namespace

QString PictureCache::check(const QByteArray& bytes, const PictureLimits& limits)
{
    QByteArray data = bytes; // shared, not copied
    QBuffer buffer(&data);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    nameReaderFormat(reader, bytes);
    if (!reader.canRead())
        return QStringLiteral("no picture");
    const QSize size = reader.size();
    if (size.isValid())
        return sizeProblem(size, limits);
    return {};
}

QImage PictureCache::Decode(const QByteArray& bytes, const PictureLimits& limits, QString* why)
{
    QByteArray data = bytes;
    QBuffer buffer(&data);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    nameReaderFormat(reader, bytes);
    // The header's size decides before anything is decoded. A format that does not tell its size
    // is decoded (within Qt's own allocation limit) and measured afterwards.
    const QSize declared = reader.size();
    QString problem = declared.isValid() ? sizeProblem(declared, limits) : QString();
    QImage image;
    if (problem.isEmpty()) {
        image = reader.read();
        if (image.isNull())
            problem = QStringLiteral("no picture (%1)").arg(reader.errorString());
        else
            problem = sizeProblem(image.size(), limits);
    }
    if (!problem.isEmpty()) {
        if (why)
            *why = problem;
        return {};
    }
    return image.convertToFormat(QImage::Format_RGB32);
}

PictureCache::PictureCache(const TReadBin& container, PictureLimits limits) : m_container(container), m_limits(limits)
{
}

QImage PictureCache::picture(const QString& name)
{
    if (name.isEmpty())
        return {};
    const QString key = name.toLower();
    if (const auto found = m_pictures.constFind(key); found != m_pictures.cend())
        return *found;

    QImage image;
    if (const std::optional<QByteArray> bytes = m_container.Read(name)) {
        // The budget is asked before decoding, from the size the header declares.
        const QSize declared = declaredSize(*bytes);
        qint64 reserved = 0;
        if (declared.isValid() && sizeProblem(declared, m_limits).isEmpty()) {
            reserved = qint64(declared.width()) * declared.height() * kBytesPerPixel;
            if (!reserve(reserved)) {
                m_pictures.insert(key, image);
                return image;
            }
        }
        QString why;
        image = Decode(*bytes, m_limits, &why);
        if (!why.isEmpty()) {
            m_spent -= reserved;
            qCWarning(lcSkin).noquote() << QStringLiteral("picture %1: %2; it is left out").arg(name, why);
        } else if (reserved == 0 && !reserve(image.sizeInBytes())) {
            image = QImage();
        }
    }
    m_pictures.insert(key, image);
    return image;
}

bool PictureCache::reserve(qint64 bytes)
{
    if (bytes <= m_limits.budget - m_spent) {
        m_spent += bytes;
        return true;
    }
    if (!m_budgetWarned) {
        m_budgetWarned = true;
        qCWarning(lcSkin).noquote() << QStringLiteral(
                                           "the pictures of one screen need more than %1 MiB; the rest are left out")
                                           .arg(m_limits.budget / (1024 * 1024));
    }
    return false;
}

QString firstScreenProblem(const SkinScript& script, const TReadBin& container, const PictureLimits& limits)
{
    if (script.screens.isEmpty())
        return QStringLiteral("the skin script declares no screen: there is nothing to show");
    const QString& background = script.screens.first().background;
    if (background.isEmpty())
        return QStringLiteral("screen 1 of the skin script has no background picture (_screen=...)");
    const std::optional<QByteArray> bytes = container.Read(background);
    if (!bytes)
        return QStringLiteral("the background of screen 1, %1, is not in the container").arg(background);
    if (const QString why = PictureCache::check(*bytes, limits); !why.isEmpty())
        return QStringLiteral("the background of screen 1, %1: %2").arg(background, why);
    return {};
}
