#pragma once

// How the web engine reads the manual: every document, frame, style sheet and picture comes
// through the scheme "velbrook" from the file opener, so packed and plain files look alike to the
// engine, and nothing else is fetched.

#include <QUrl>
#include <QWebEngineUrlRequestInterceptor>
#include <QWebEngineUrlSchemeHandler>

class ContentPack;
class QWebEngineProfile;

// The scheme's name, and a file's address under it ("velbrook://content/abs/path/page.htm#anchor").
inline constexpr char kContentScheme[] = "velbrook";
inline constexpr char kContentHost[] = "content";
QUrl contentUrl(const QString& path);
// The file an address of the scheme names (fragment and query dropped), or an empty string.
QString contentPath(const QUrl& url);

// Registers the scheme with the engine; must run before the application object is made.
void registerContentScheme();

// The MIME type a file is served with: HTML and text without a declared character set are read as
// code page 1251, as the content is written.
QByteArray contentType(const QString& path, const QByteArray& bytes);

class ContentSchemeHandler final : public QWebEngineUrlSchemeHandler
{
    Q_OBJECT
public:
    ContentSchemeHandler(const ContentPack& pack, QObject* parent = nullptr);
    void requestStarted(QWebEngineUrlRequestJob* job) override;

private:
    const ContentPack& m_pack;
};

// Refuses every request that would leave the content (web addresses, other files by "file:").
class ContentOnlyInterceptor final : public QWebEngineUrlRequestInterceptor
{
    Q_OBJECT
public:
    using QWebEngineUrlRequestInterceptor::QWebEngineUrlRequestInterceptor;
    void interceptRequest(QWebEngineUrlRequestInfo& info) override;
};

// One off-the-record profile for the program, reading through the pack.
QWebEngineProfile* makeContentProfile(const ContentPack& pack, QObject* parent);
