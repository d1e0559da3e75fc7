// The start-up baseline: a minimal Qt program that shows one window with a background picture and
// writes its first painted frame to a PNG, then quits. Usage: startup_baseline PICTURE OUT.png

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QTimer>
#include <QWidget>

namespace {

class PictureWindow final : public QWidget
{
public:
    explicit PictureWindow(QImage picture) : m_picture(std::move(picture)) { setFixedSize(m_picture.size()); }
    bool painted = false;

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter(this).drawImage(0, 0, m_picture);
        painted = true;
    }

private:
    QImage m_picture;
};

} // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    if (argc != 3)
        return 2;
    PictureWindow window{QImage(QString::fromLocal8Bit(argv[1]))};
    window.show();
    const QString out = QString::fromLocal8Bit(argv[2]);
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (!window.painted)
            return;
        window.grab().save(out, "PNG");
        QCoreApplication::exit(0);
    });
    poll.start(5);
    return app.exec();
}
