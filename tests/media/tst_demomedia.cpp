// The demo's media as the reader sees them, offscreen: the program is run with commands and
// draws its window into a picture. A slide is drawn in its area and "nextpic" changes it; a clip
// started by its button shows moving pictures in its area; the 3D area moves after "3d".

#include "programenv.h"

#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QString kDemo = QStringLiteral(VELBROOK_DEMO_DIR);
// Where the demo's media screen (the third) and its start screen put their areas.
constexpr QRect kSlideArea{QPoint(360, 100), QPoint(759, 399)};
constexpr QRect kClipArea{QPoint(24, 100), QPoint(343, 339)};
constexpr QRect kVideoArea{QPoint(31, 135), QPoint(686, 393)};

// Distinct colours in a picture, counted on a coarse grid: a plain area has one or two.
int colours(const QImage& picture)
{
    QSet<QRgb> seen;
    for (int y = 0; y < picture.height(); y += 4) {
        for (int x = 0; x < picture.width(); x += 4)
            seen.insert(picture.pixel(x, y));
    }
    return int(seen.size());
}

} // namespace

class TestDemoMedia : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_runtime;
    int m_runs = 0;

    // The window's picture after the commands, taken after ms milliseconds.
    QImage shot(const QStringList& commands, int ms)
    {
        const QString file = m_runtime.filePath(QStringLiteral("shot%1.png").arg(++m_runs));
        QStringList arguments{"--content", kDemo, "--screenshot", file, "--after", QString::number(ms)};
        for (const QString& command : commands)
            arguments << "--command" << command;
        QProcess program;
        program.setProcessEnvironment(programEnvironment(m_runtime.filePath(QStringLiteral("run%1").arg(m_runs))));
        program.start(QStringLiteral(VELBROOK_APP), arguments);
        if (!program.waitForFinished(120000))
            program.kill();
        return QImage(file);
    }

private Q_SLOTS:
    void initTestCase() { QVERIFY(m_runtime.isValid()); }

    void aSlideShowsAndNextpicChangesIt()
    {
        const QImage first = shot({"screen3"}, 300);
        const QImage second = shot({"screen3", "nextpic"}, 300);
        QVERIFY(!first.isNull() && !second.isNull());
        QVERIFY(colours(first.copy(kSlideArea)) > 8);
        QVERIFY(first.copy(kSlideArea) != second.copy(kSlideArea));
    }

    void aClipPlaysInItsArea()
    {
        const QStringList commands{"screen3", "clip=video\\clip1.avi=glava2.htm"};
        const QImage plain = shot({"screen3"}, 300);
        const QImage early = shot(commands, 1000);
        const QImage later = shot(commands, 2200);
        QVERIFY(!early.isNull() && !later.isNull());
        QVERIFY(colours(plain.copy(kClipArea)) <= 2); // the empty area, one colour
        QVERIFY(colours(early.copy(kClipArea)) > 8);
        QVERIFY(early.copy(kClipArea) != later.copy(kClipArea));
    }

    // The clip's page loads while the clip plays: a scripted command after the clip waits for that
    // page, and the clip is still playing when it has come. Drawing a frame used to hold the
    // interface thread until the frame's time, and the page came only after the clip.
    void aPlayingClip_doesNotHoldItsPageBack()
    {
        const QImage shot = this->shot({"screen3", "clip=video\\clip1.avi=glava2.htm", "top"}, 500);
        QVERIFY(!shot.isNull());
        QVERIFY(colours(shot.copy(kClipArea)) > 8);
    }

    void theVideoAreaMovesAfter3d()
    {
        const QImage still = shot({}, 300);
        const QImage early = shot({"3d"}, 1500);
        const QImage later = shot({"3d"}, 2800);
        QVERIFY(!early.isNull() && !later.isNull());
        QVERIFY(still.copy(kVideoArea) != early.copy(kVideoArea));
        QVERIFY(early.copy(kVideoArea) != later.copy(kVideoArea));
    }
};

QTEST_MAIN(TestDemoMedia)
#include "tst_demomedia.moc"
