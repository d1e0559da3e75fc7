#include "plainwindow.h"

#include "appcontext.h"
#include "applog.h"
#include "contentscheme.h"
#include "panepage.h"
#include "paneprint.h"
#include "pathresolver.h"

#include <QAction>
#include <QBuffer>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImageReader>
#include <QPointer>
#include <QScreen>
#include <QShortcut>
#include <QTimer>
#include <QToolBar>
#include <QWebEnginePage>
#include <QWebEngineScript>
#include <QWebEngineSettings>
#include <QWebEngineView>

namespace {

constexpr QPoint kPosition(40, 30);
constexpr QSize kSchemeSize(780, 550);
constexpr QSize kDefaultSize(640, 480);
// Around a picture: the toolbar, the frame and the view's margins.
constexpr QSize kPictureRoom(45, 90);
// Polls (of 20 ms) without an answer after which the page is asked again.
constexpr int kAskAgainAfter = 25;

bool isPicture(const QString& name)
{
    const QString extension = QLatin1Char('.') + QFileInfo(name).suffix().toLower();
    return extension == QLatin1String(".bmp") || extension == QLatin1String(".gif") ||
           extension == QLatin1String(".jpg") || extension == QLatin1String(".jpeg");
}

// The picture's size from its header, read through the pack like the view reads it; invalid
// when the file is missing or not a picture.
QSize pictureSize(const AppContext& context, const QString& path)
{
    const std::optional<QByteArray> bytes = context.pack.readFile(path);
    if (!bytes)
        return {};
    QBuffer buffer;
    buffer.setData(*bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    return reader.size();
}

} // namespace

QRect plainWindowGeometry(const QString& file, QSize picture, QRect workArea)
{
    const QString name = QFileInfo(toInternalPath(file)).fileName();
    QSize size = kDefaultSize;
    if (name.compare(QLatin1String("scheme.bmp"), Qt::CaseInsensitive) == 0 ||
        name.compare(QLatin1String("scheme_lux.bmp"), Qt::CaseInsensitive) == 0)
        size = kSchemeSize;
    else if (isPicture(name) && picture.isValid())
        size = picture + kPictureRoom;

    size = size.boundedTo(workArea.size());
    QPoint at = kPosition;
    if (at.x() + size.width() > workArea.width())
        at.setX(0);
    if (at.y() + size.height() > workArea.height())
        at.setY(0);
    return {at, size};
}

namespace {

LinkServices plainWindowLinks(QWidget* window, const AppContext& context, QWebEngineView** view)
{
    LinkServices services;
    // A page a link asks the program to show comes into this window's own view.
    services.showPage = [&context, view](const QString& page) {
        if (*view)
            (*view)->load(contentUrl(context.disk.toLocal(page)));
    };
    fillDesktopLinkServices(services, window, context);
    return services;
}

} // namespace

TPlainWindow::TPlainWindow(const AppContext& context, const QString& file, QWidget* parent)
    : EngineWindow(parent), m_context(context), m_links(context, plainWindowLinks(this, context, &m_view))
{
    QToolBar* toolbar = addToolBar(QString());
    toolbar->setMovable(false);
    toolbar->setFloatable(false);
    toolbar->toggleViewAction()->setEnabled(false); // the toolbar stays
    QAction* printAction = toolbar->addAction(QStringLiteral(u"Печать"));
    printAction->setToolTip(QStringLiteral(u"Напечатать текущий файл"));
    connect(printAction, &QAction::triggered, this, &TPlainWindow::print);

    // Esc ends the copy, wherever the focus is (the view takes it on the first click).
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    escape->setContext(Qt::WindowShortcut);
    connect(escape, &QShortcut::activated, this, &QWidget::close);

    m_view = new QWebEngineView(this);
    auto* page = new PanePage(makeContentProfile(context.pack, this), m_view);
    m_view->setPage(page);
    connect(page, &PanePage::linkClicked, this, [this](const LinkClick& click) {
        m_links.HandleLinkClick(click, false, contentPath(m_view->url()), [](const QString&) {});
    });
    m_view->setContextMenuPolicy(Qt::NoContextMenu);
    setCentralWidget(m_view);
    // A file that neither the pack nor the disk holds leaves the view blank, not an error page.
    m_view->settings()->setAttribute(QWebEngineSettings::ErrorPageEnabled, false);
    connect(m_view, &QWebEngineView::loadFinished, this, [this](bool ok) {
        if (m_painted || m_closing)
            return; // a later page of a help copy: the first one was waited for
        if (ok)
            waitForFrame();
        else
            m_painted = true;
    });
    m_poll.setInterval(20);
    connect(&m_poll, &QTimer::timeout, this, &TPlainWindow::askDrawn);

    const QString path = context.disk.toLocal(file);
    const QSize picture = isPicture(path) ? pictureSize(context, path) : QSize();
    const QScreen* screen = QGuiApplication::primaryScreen();
    const QRect workArea = screen ? screen->availableGeometry() : QRect(QPoint(), kDefaultSize);
    const QRect geometry = plainWindowGeometry(path, picture, workArea);
    resize(geometry.size());
    move(geometry.topLeft());

    m_view->load(contentUrl(path));
}

TPlainWindow::~TPlainWindow()
{
    // Nothing the page still sends (a load that ends as it goes, an answer it still owes) may
    // reach the window from here on.
    m_closing = true;
    m_poll.stop();
    m_view->disconnect(this);
    m_view->page()->disconnect(this);
    // The page goes before the profile it uses.
    delete m_view;
    m_view = nullptr;
}

// The load event comes before the page's first frame, and a picture may still be decoding then:
// once its pictures are decoded, three animation frames later the page has been drawn and handed
// to the window. The page's own scripts never see the mark, which lives in the program's script
// world.
void TPlainWindow::waitForFrame()
{
    if (m_closing || m_painted)
        return;
    m_view->page()->runJavaScript(
        QStringLiteral("Promise.all(Array.from(document.images, (i) => i.decode().catch(() => {}))).then(() =>"
                       " requestAnimationFrame(() => requestAnimationFrame(() => requestAnimationFrame(() =>"
                       " { window.velbrookDrawn = true; }))));"),
        QWebEngineScript::ApplicationWorld);
    if (!m_poll.isActive())
        m_poll.start(); // a second load before the first frame keeps the one poll
}

void TPlainWindow::askDrawn()
{
    if (m_closing || m_painted) {
        m_poll.stop();
        return;
    }
    // One question at a time; one whose answer is lost (a navigation may drop it) is asked again
    // after a while. Every answer is safe to take, however late.
    if (m_asking && ++m_unanswered < kAskAgainAfter)
        return;
    m_asking = true;
    m_unanswered = 0;
    // The page calls back even as it goes (with no value); the window may be gone by then.
    const QPointer<TPlainWindow> self(this);
    m_view->page()->runJavaScript(QStringLiteral("window.velbrookDrawn === true"), QWebEngineScript::ApplicationWorld,
                                  [self](const QVariant& drawn) {
                                      if (self)
                                          self->drawnAnswered(drawn);
                                      else
                                          qCDebug(lcApp)
                                              << "plain window: an answer about the frame came after the window";
                                  });
}

void TPlainWindow::drawnAnswered(const QVariant& drawn)
{
    m_asking = false;
    if (m_closing || m_painted) {
        qCDebug(lcApp) << "plain window: a late answer about the frame dropped";
        return;
    }
    if (!drawn.toBool())
        return;
    m_poll.stop();
    m_painted = true;
}

void TPlainWindow::showFile(const QString& file)
{
    m_view->load(contentUrl(m_context.disk.toLocal(file)));
}

void TPlainWindow::print()
{
    printDocument(this, m_view->page(), m_context, contentPath(m_view->url()));
}
