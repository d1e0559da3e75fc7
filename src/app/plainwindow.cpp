#include "plainwindow.h"

#include "appcontext.h"
#include "contentscheme.h"
#include "pathresolver.h"

#include <QAction>
#include <QBuffer>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImageReader>
#include <QScreen>
#include <QShortcut>
#include <QToolBar>
#include <QTimer>
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

QRect PlainWindowGeometry(const QString& file, QSize picture, QRect workArea)
{
    const QString name = QFileInfo(ToInternalPath(file)).fileName();
    QSize size = kDefaultSize;
    if (name.compare(QLatin1String("scheme.bmp"), Qt::CaseInsensitive) == 0 ||
        name.compare(QLatin1String("scheme_lux.bmp"), Qt::CaseInsensitive) == 0)
        size = kSchemeSize;
    else if (isPicture(name) && picture.isValid())
        size = picture + kPictureRoom;

    QPoint at = kPosition;
    if (at.x() + size.width() > workArea.width())
        at.setX(0);
    if (at.y() + size.height() > workArea.height())
        at.setY(0);
    return {at, size};
}

TPlainWindow::TPlainWindow(const AppContext& context, const QString& file, QWidget* parent) : EngineWindow(parent)
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
    m_view->setPage(new QWebEnginePage(MakeContentProfile(context.pack, this), m_view));
    m_view->setContextMenuPolicy(Qt::NoContextMenu);
    setCentralWidget(m_view);
    // A file that neither the pack nor the disk holds leaves the view blank, not an error page.
    m_view->settings()->setAttribute(QWebEngineSettings::ErrorPageEnabled, false);
    connect(m_view, &QWebEngineView::loadFinished, this, [this](bool ok) {
        if (m_painted)
            return; // a later page of a help copy: the first one was waited for
        if (ok)
            waitForFrame();
        else
            m_painted = true;
    });

    const QString path = context.disk.toLocal(file);
    const QSize picture = isPicture(path) ? pictureSize(context, path) : QSize();
    const QScreen* screen = QGuiApplication::primaryScreen();
    const QRect workArea = screen ? screen->availableGeometry() : QRect(QPoint(), kDefaultSize);
    const QRect geometry = PlainWindowGeometry(path, picture, workArea);
    resize(geometry.size());
    move(geometry.topLeft());

    m_view->load(ContentUrl(path));
}

TPlainWindow::~TPlainWindow()
{
    // The page goes before the profile it uses.
    delete m_view;
}

// The load event comes before the page's first frame: two animation frames later it has been drawn.
// The page's own scripts never see the mark, which lives in the program's script world.
void TPlainWindow::waitForFrame()
{
    const quint32 world = QWebEngineScript::ApplicationWorld;
    m_view->page()->runJavaScript(
        QStringLiteral("requestAnimationFrame(() => requestAnimationFrame(() => { window.velbrookDrawn = true; }));"),
        world);
    auto* poll = new QTimer(this);
    poll->setInterval(20);
    connect(poll, &QTimer::timeout, this, [this, poll, world] {
        m_view->page()->runJavaScript(QStringLiteral("window.velbrookDrawn === true"), world,
                                      [this, poll](const QVariant& drawn) {
                                          if (!drawn.toBool())
                                              return;
                                          poll->deleteLater();
                                          m_painted = true;
                                      });
    });
    poll->start();
}

void TPlainWindow::print()
{
    // Printing the shown file comes here.
}
