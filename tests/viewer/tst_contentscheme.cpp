// The engine reads the manual through the content scheme: packed and plain pages, pictures,
// code page 1251 with and without a declared character set, nothing from outside.

#include "codepage.h"
#include "contentpack.h"
#include "contentscheme.h"
#include "packwriter.h"
#include "pagescript.h"
#include "pathresolver.h"
#include "testfiles.h"
#include "testpictures.h"

#include <QApplication>
#include <QBuffer>
#include <QImage>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QWebEnginePage>
#include <QWebEngineProfile>

class TestContentScheme : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        m_root = m_dir.path() + QLatin1Char('/');
        PackWriter writer;
        // No character set declared: the content's own is code page 1251.
        writer.addFile("glava1.htm", toCp1251(u"<html><head><title>Тормоза</title></head><body>"
                                              u"<img id=pic src='images/a.bmp'><p id=t>колодки</p></body></html>"_qs));
        writer.addFile("images/a.bmp", testBitmap({7, 5}, Qt::red));
        writer.write(m_root + "interface.dat");
        writeTestFile(m_root + "Disk.htm", QByteArray("<html><head><meta charset=utf-8><title>") + u"Диск"_qs.toUtf8() +
                                               "</title></head></html>");
        m_disk = std::make_unique<PathResolver>(QStringLiteral("/"));
        m_pack = std::make_unique<ContentPack>(*m_disk);
        QVERIFY(m_pack->OpenPack(m_root + "interface.dat"));
        m_pack->SetPackBase(m_root);
        m_profile = makeContentProfile(*m_pack, this);
    }

    void contentType_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QByteArray>("type");
        QTest::newRow("page without charset")
            << "a.htm" << QByteArray("<p>") << QByteArray("text/html; charset=windows-1251");
        QTest::newRow("page with charset")
            << "a.HTM" << QByteArray("<meta charset=\"koi8-r\">") << QByteArray("text/html; charset=koi8-r");
        QTest::newRow("text") << "a.txt" << QByteArray("x") << QByteArray("text/plain; charset=windows-1251");
        QTest::newRow("text in 1251") << "a.txt" << toCp1251(u"Ключи"_qs)
                                      << QByteArray("text/plain; charset=windows-1251");
        QTest::newRow("text in UTF-8") << u"ключи.txt"_qs << u"Ключи"_qs.toUtf8()
                                       << QByteArray("text/plain; charset=utf-8");
        QTest::newRow("byte order mark over a declared charset")
            << "a.htm" << QByteArray("\xEF\xBB\xBF<meta charset=windows-1251>")
            << QByteArray("text/html; charset=utf-8");
        QTest::newRow("page in UTF-8 that names no charset")
            << "a.htm" << (u"<p>Ключи"_qs).toUtf8() << QByteArray("text/html; charset=utf-8");
        QTest::newRow("declared charset wins over UTF-8 bytes")
            << "a.htm" << (u"<meta charset=koi8-r><p>Ключи"_qs).toUtf8() << QByteArray("text/html; charset=koi8-r");
        QTest::newRow("picture") << "a.JPG" << QByteArray() << QByteArray("image/jpeg");
    }

    void contentType()
    {
        QFETCH(QString, path);
        QFETCH(QByteArray, bytes);
        QFETCH(QByteArray, type);
        QCOMPARE(::contentType(path, bytes), type);
    }

    void packedPage_showsWithItsPictureAndCyrillicTitle()
    {
        QWebEnginePage page(m_profile);
        QSignalSpy loaded(&page, &QWebEnginePage::loadFinished);
        page.load(contentUrl(m_root + "GLAVA1.HTM"));
        QTRY_COMPARE_WITH_TIMEOUT(loaded.count(), 1, 30000);
        QVERIFY(loaded.first().first().toBool());
        QCOMPARE(page.title(), QStringLiteral(u"Тормоза"));
        QCOMPARE(run(page, "document.getElementById('t').textContent"), QVariant(u"колодки"_qs));
        QTRY_COMPARE_WITH_TIMEOUT(run(page, "document.getElementById('pic').naturalWidth"), QVariant(7), 10000);
    }

    void diskPage_keepsItsDeclaredCharset()
    {
        QWebEnginePage page(m_profile);
        QSignalSpy loaded(&page, &QWebEnginePage::loadFinished);
        page.load(contentUrl(m_root + "disk.htm"));
        QTRY_COMPARE_WITH_TIMEOUT(loaded.count(), 1, 30000);
        QCOMPARE(page.title(), QStringLiteral(u"Диск"));
    }

    // A text file saved in UTF-8 (a list unpacked from an archive, say) reads as it was written,
    // and one in 1251 as before.
    void textFiles_showInTheirEncoding_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("UTF-8") << u"ключи.txt"_qs << u"Ключи зажигания"_qs.toUtf8();
        QTest::newRow("UTF-8 with byte order mark") << u"bom.txt"_qs << "\xEF\xBB\xBF" + u"Ключи зажигания"_qs.toUtf8();
        QTest::newRow("1251") << u"old.txt"_qs << toCp1251(u"Ключи зажигания"_qs);
    }

    void textFiles_showInTheirEncoding()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, bytes);
        writeTestFile(m_root + name, bytes);
        QWebEnginePage page(m_profile);
        QSignalSpy loaded(&page, &QWebEnginePage::loadFinished);
        page.load(contentUrl(m_root + name));
        QTRY_COMPARE_WITH_TIMEOUT(loaded.count(), 1, 30000);
        QVERIFY(loaded.first().first().toBool());
        QCOMPARE(run(page, "document.body.innerText.trim()"), QVariant(u"Ключи зажигания"_qs));
    }

    void missingPage_failsToLoad()
    {
        QWebEnginePage page(m_profile);
        QSignalSpy loaded(&page, &QWebEnginePage::loadFinished);
        page.load(contentUrl(m_root + "none.htm"));
        QTRY_COMPARE_WITH_TIMEOUT(loaded.count(), 1, 30000);
        QVERIFY(!loaded.first().first().toBool());
    }

private:
    static QVariant run(QWebEnginePage& page, const char* script)
    {
        return runPageScript(page, QString::fromLatin1(script));
    }

    QTemporaryDir m_dir;
    QString m_root;
    std::unique_ptr<PathResolver> m_disk;
    std::unique_ptr<ContentPack> m_pack;
    QWebEngineProfile* m_profile = nullptr;
};

int main(int argc, char* argv[])
{
    registerContentScheme();
    QApplication app(argc, argv);
    TestContentScheme test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_contentscheme.moc"
