#include "contentscheme.h"

#include "codepage.h"
#include "contentpack.h"
#include "viewerlog.h"

#include <QBuffer>
#include <QRegularExpression>
#include <QWebEngineProfile>
#include <QWebEngineUrlRequestJob>
#include <QWebEngineUrlScheme>

QUrl contentUrl(const QString& path)
{
    QUrl url;
    url.setScheme(QString::fromLatin1(kContentScheme));
    url.setHost(QString::fromLatin1(kContentHost));
    QString local = path;
    const qsizetype hash = local.indexOf(QLatin1Char('#'));
    if (hash >= 0) {
        url.setFragment(local.mid(hash + 1));
        local.truncate(hash);
    }
    url.setPath(local);
    return url;
}

QString contentPath(const QUrl& url)
{
    if (url.scheme() != QLatin1String(kContentScheme) || url.host() != QLatin1String(kContentHost))
        return {};
    return url.path();
}

void registerContentScheme()
{
    QWebEngineUrlScheme scheme(kContentScheme);
    // One host for all content gives every document the same origin, so a frame may send a link
    // into its sister frame.
    scheme.setSyntax(QWebEngineUrlScheme::Syntax::Host);
    scheme.setFlags(QWebEngineUrlScheme::SecureScheme | QWebEngineUrlScheme::LocalAccessAllowed |
                    QWebEngineUrlScheme::LocalScheme);
    QWebEngineUrlScheme::registerScheme(scheme);
}

QByteArray contentType(const QString& path, const QByteArray& bytes)
{
    const QString lower = path.toLower();
    const auto ends = [&](const char* ext) { return lower.endsWith(QLatin1String(ext)); };
    if (ends(".htm") || ends(".html") || ends(".txt") || ends(".inf") || ends(".diz")) {
        // A document with a UTF-8 byte order mark is UTF-8; one that names its character set is
        // taken at its word; of the others, those whose bytes are valid UTF-8 with letters beyond
        // ASCII are UTF-8 (a text file saved on a newer system), the rest code page 1251.
        static const QRegularExpression declared(QStringLiteral("charset\\s*=\\s*[\"']?([A-Za-z0-9_.:-]+)"),
                                                 QRegularExpression::CaseInsensitiveOption);
        const QRegularExpressionMatch match = declared.match(QString::fromLatin1(bytes.left(2048)));
        QByteArray charset;
        if (bytes.startsWith("\xEF\xBB\xBF"))
            charset = "utf-8";
        else if (match.hasMatch())
            charset = match.captured(1).toLatin1();
        else
            charset = isUtf8Text(bytes) ? "utf-8" : "windows-1251";
        const QByteArray type = ends(".htm") || ends(".html") ? "text/html" : "text/plain";
        return type + "; charset=" + charset;
    }
    if (ends(".css"))
        return "text/css; charset=windows-1251";
    if (ends(".js"))
        return "text/javascript; charset=windows-1251";
    if (ends(".gif"))
        return "image/gif";
    if (ends(".jpg") || ends(".jpeg"))
        return "image/jpeg";
    if (ends(".bmp"))
        return "image/bmp";
    if (ends(".png"))
        return "image/png";
    return "application/octet-stream";
}

ContentSchemeHandler::ContentSchemeHandler(const ContentPack& pack, QObject* parent)
    : QWebEngineUrlSchemeHandler(parent), m_pack(pack)
{
}

void ContentSchemeHandler::requestStarted(QWebEngineUrlRequestJob* job)
{
    const QString path = contentPath(job->requestUrl());
    std::optional<QByteArray> bytes = path.isEmpty() ? std::nullopt : m_pack.readFile(path);
    if (!bytes) {
        qCDebug(lcViewer) << "not in the content:" << job->requestUrl().toString();
        job->fail(QWebEngineUrlRequestJob::UrlNotFound);
        return;
    }
    auto* buffer = new QBuffer(job);
    buffer->setData(*bytes);
    buffer->open(QIODevice::ReadOnly);
    job->reply(contentType(path, *bytes), buffer);
}

void ContentOnlyInterceptor::interceptRequest(QWebEngineUrlRequestInfo& info)
{
    const QString scheme = info.requestUrl().scheme();
    if (scheme != QLatin1String(kContentScheme) && scheme != QLatin1String("data") && scheme != QLatin1String("qrc") &&
        scheme != QLatin1String("about")) {
        qCDebug(lcViewer) << "request blocked, it leaves the content:" << info.requestUrl().toString();
        info.block(true);
    }
}

QWebEngineProfile* makeContentProfile(const ContentPack& pack, QObject* parent)
{
    auto* profile = new QWebEngineProfile(parent); // no storage name: off the record
    profile->installUrlSchemeHandler(kContentScheme, new ContentSchemeHandler(pack, profile));
    profile->setUrlRequestInterceptor(new ContentOnlyInterceptor(profile));
    return profile;
}
