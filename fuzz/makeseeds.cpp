// Makes the fuzz targets' first inputs with our own writers, from the demo manual's sources and a
// few small hand-made cases: fuzz-seeds SOURCE_DIR OUT_DIR writes OUT_DIR/<target>/<name> for
// every target. Nothing here is committed as bytes; the build makes it again.

#include "codepage.h"
#include "copydata.h"
#include "indexbuilder.h"
#include "packwriter.h"
#include "rarwriter.h"
#include "readbin.h"
#include "scriptcodec.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QImage>
#include <QRegularExpression>
#include <QStringEncoder>

#include <cstdio>
#include <cstdlib>

namespace {

QString g_source; // the source tree's top
QString g_out;

[[noreturn]] void die(const QString& why)
{
    std::fprintf(stderr, "fuzz-seeds: %s\n", qPrintable(why));
    std::exit(1);
}

QByteArray readSource(const QString& relative)
{
    QFile file(g_source + QLatin1Char('/') + relative);
    if (!file.open(QIODevice::ReadOnly))
        die(QStringLiteral("cannot read %1").arg(file.fileName()));
    return file.readAll();
}

// A UTF-8 source text as the program's files hold it: code page 1251, lines ended by CR LF.
QByteArray cp1251Text(const QByteArray& utf8)
{
    QString text = QString::fromUtf8(utf8);
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    text.replace(QLatin1Char('\n'), QLatin1String("\r\n"));
    return toCp1251(text);
}

QStringList scriptLines(const QByteArray& utf8)
{
    QString text = QString::fromUtf8(utf8);
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    return text.split(QLatin1Char('\n'));
}

void put(const QString& target, const QString& name, const QByteArray& bytes)
{
    const QString folder = g_out + QLatin1Char('/') + target;
    QDir().mkpath(folder);
    QFile file(folder + QLatin1Char('/') + name);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
        die(QStringLiteral("cannot write %1").arg(file.fileName()));
}

QByteArray bitmap(QSize size)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::darkCyan);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "BMP");
    return bytes;
}

const char* const kScripts[] = {"Struct", "Tesaurus", "Dialog", "About", "tree1", "tree2"};

// The demo's scripts with their pictures renamed to those the window-scripts target's container
// holds (a.bmp for backgrounds, b.bmp for the rest), so that its seeds reach the layout with real
// pictures.
QByteArray withFuzzPictures(const QByteArray& text)
{
    QString script = QString::fromUtf8(text);
    script.replace(QRegularExpression(QStringLiteral("[^\\s;=\\[]+\\.bmp")), QStringLiteral("b.bmp"));
    script.replace(QRegularExpression(QStringLiteral("((?:picture|fnfon|background)=)[^;\\s]+\\.bmp")),
                   QStringLiteral("\\1a.bmp"));
    return script.toUtf8();
}

void scriptSeeds()
{
    for (const char* name : kScripts) {
        const QString file = QStringLiteral("demo/scripts/%1.txt").arg(QLatin1String(name));
        const QByteArray utf8 = readSource(file);
        const QByteArray text = cp1251Text(utf8);
        const QString seed = QLatin1String(name) + QStringLiteral(".txt");
        put(QStringLiteral("script"), seed, text);
        put(QStringLiteral("script"), QLatin1String(name) + QStringLiteral(".cfs"), encodeScript(scriptLines(utf8)));
        if (QLatin1String(name).startsWith(QLatin1String("tree")))
            put(QStringLiteral("tree"), seed, text);
        else
            put(QStringLiteral("windowscripts"), seed, text);
        if (QLatin1String(name) == QLatin1String("Struct") || QLatin1String(name) == QLatin1String("Tesaurus"))
            put(QStringLiteral("skin"), seed, text);
    }
    for (const char* name : {"Struct", "Dialog", "About"}) {
        const QByteArray utf8 = readSource(QStringLiteral("demo/scripts/%1.txt").arg(QLatin1String(name)));
        put(QStringLiteral("windowscripts"), QLatin1String(name) + QStringLiteral("-pictures.txt"),
            cp1251Text(withFuzzPictures(utf8)));
    }
    put(QStringLiteral("tree"), QStringLiteral("levels.txt"),
        toCp1251(QStringLiteral("a.htm;Один\r\n\tb.htm;Два\r\n\t\t\tc.htm#x;Три\r\n\td\\e.htm;Четыре\r\n"
                                "f.htm;Пять;лишнее\r\n\t\t;Без ссылки\r\n")));
}

void containerSeeds()
{
    ContainerWriter kel;
    for (const char* name : kScripts)
        kel.add(QLatin1String(name) + QStringLiteral(".cfs"),
                encodeScript(scriptLines(readSource(QStringLiteral("demo/scripts/%1.txt").arg(QLatin1String(name))))));
    kel.add(QStringLiteral("bg.bmp"), bitmap({8, 6}));
    put(QStringLiteral("container"), QStringLiteral("demo.dhl"), kel.build());

    ContainerWriter one;
    one.add(QStringLiteral("Фон.bmp"), bitmap({3, 2}));
    put(QStringLiteral("container"), QStringLiteral("one.dhl"), one.build());
    put(QStringLiteral("container"), QStringLiteral("empty.dhl"), ContainerWriter().build());
}

// The demo's pages as the disc holds them: code page 1251.
QList<std::pair<QString, QByteArray>> demoPages(qsizetype limit)
{
    QList<std::pair<QString, QByteArray>> pages;
    const QString root = g_source + QStringLiteral("/demo/content/pack/");
    QDirIterator it(root, {QStringLiteral("*.htm")}, QDir::Files, QDirIterator::Subdirectories);
    QStringList paths;
    while (it.hasNext())
        paths.append(it.next());
    paths.sort();
    for (const QString& path : std::as_const(paths)) {
        if (pages.size() == limit)
            break;
        pages.append({path.mid(root.size()),
                      cp1251Text(readSource(QStringLiteral("demo/content/pack/") + path.mid(root.size())))});
    }
    return pages;
}

void packSeeds()
{
    const auto pages = demoPages(4);
    for (const int level : {0, -1}) {
        PackWriter pack;
        pack.setCompressionLevel(level);
        for (const auto& [path, bytes] : pages)
            pack.addFile(path, bytes.left(600));
        pack.addFolder(QStringLiteral("пустая"));
        pack.addFile(QStringLiteral("frames/images/a.bmp"), bitmap({4, 4}));
        put(QStringLiteral("pack"), QStringLiteral("demo-level%1.dat").arg(level < 0 ? 6 : level), pack.build());
    }
    PackWriter tiny;
    tiny.setCompressionLevel(0);
    tiny.addFile(QStringLiteral("glava1.htm"), "<html>a</html>");
    tiny.addFile(QStringLiteral("Папка/Файл.txt"), toCp1251(QStringLiteral("текст")));
    put(QStringLiteral("pack"), QStringLiteral("tiny.dat"), tiny.build());
}

void indexSeeds()
{
    FullTextIndexBuilder builder;
    for (const auto& [path, bytes] : demoPages(6))
        builder.addPage(path, bytes);
    const FullTextIndex index = builder.build();
    const QByteArray thesaurus = cp1251Text(readSource(QStringLiteral("demo/content/pack/tezaurus.txt")));
    const char separator = '\x1e';
    put(QStringLiteral("index"), QStringLiteral("demo.idx"),
        index.keywords + separator + index.numbers + separator + index.files + separator + thesaurus);
    put(QStringLiteral("index"), QStringLiteral("small.idx"),
        toCp1251(QStringLiteral("масло\r\nТормоз\r\n")) + separator + "1 2\r\n2\r\n" + separator +
            toCp1251(QStringLiteral("glava1.htm~Глава 1\r\n\r\nframes\\g2.htm~Глава 2\r\n")) + separator +
            toCp1251(QStringLiteral("масл ~ glava1.htm#m\r\nтормоз~\r\n")));
}

void pageSeeds()
{
    for (const auto& [path, bytes] : demoPages(3))
        put(QStringLiteral("pagetext"), QString(path).replace(QLatin1Char('/'), QLatin1Char('_')), bytes);
    const QString page = QStringLiteral(
        "<html><head><title> Масло &amp; фильтр </title><style>p{}</style><script>var a='<p>';</script></head>"
        "<body><!-- скрыто --><p>Замена&nbsp;масла &#1052;&#x41C; &laquo;ГРМ&raquo; тормоз-диск</p>"
        "<![CDATA[x]]><p>конец</body></html>");
    put(QStringLiteral("pagetext"), QStringLiteral("cp1251.htm"),
        "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=windows-1251\">" + toCp1251(page));
    put(QStringLiteral("pagetext"), QStringLiteral("utf8.htm"), "\xEF\xBB\xBF<meta charset=\"utf-8\">" + page.toUtf8());
    put(QStringLiteral("pagetext"), QStringLiteral("koi8.htm"),
        "<meta charset=koi8-r>" + QByteArray(QStringEncoder("KOI8-R").encode(page)));
    QByteArray utf16 = "\xFF\xFE";
    const QString declared = QStringLiteral("<meta charset=\"utf-16\">") + page;
    utf16.append(reinterpret_cast<const char*>(declared.utf16()), declared.size() * 2);
    put(QStringLiteral("pagetext"), QStringLiteral("utf16.htm"), utf16);
}

void rarSeeds()
{
    const QString folder = g_out + QStringLiteral("/rar");
    QDir().mkpath(folder);
    const qint32 time = RarWriter::dosTimeOf(2024, 5, 17, 10, 30);
    RarWriter plain;
    plain.addFolder(QStringLiteral("Инструмент"), time);
    plain.addFile(QStringLiteral("Инструмент/ключи.txt"), toCp1251(QStringLiteral("ключ на 10")), time);
    plain.addFile(QStringLiteral("перечень.htm"), "<html>x</html>", time);
    plain.addFile(QStringLiteral("a/b/c/d.txt"), QByteArray(300, 'z'));
    plain.write(folder + QStringLiteral("/plain.rar"));

    // Names that try to leave the destination, and a link: the unpacking refuses them.
    RarWriter hostile;
    hostile.addFile(QStringLiteral("../outside.txt"), "x");
    hostile.addFile(QStringLiteral("/etc/absolute.txt"), "x");
    hostile.addFile(QStringLiteral("ok/../../up.txt"), "x");
    hostile.addFile(QStringLiteral("c:\\drive.txt"), "x");
    hostile.addSymlink(QStringLiteral("link"), QStringLiteral("/tmp"));
    hostile.addFile(QStringLiteral("link/through.txt"), "x");
    hostile.write(folder + QStringLiteral("/hostile.rar"));

    // The first volume of a set: the others are missing.
    RarWriter volumes;
    volumes.addFile(QStringLiteral("big.txt"), QByteArray(2000, 'v'));
    const QStringList written = volumes.write(folder + QStringLiteral("/set.rar"), 900);
    for (qsizetype i = 1; i < written.size(); ++i)
        QFile::remove(written[i]);
}

void copyDataSeeds()
{
    const auto record = [](CopyDataKind kind, QList<CopyDataString> strings) {
        CopyDataRecord r;
        r.kind = quint16(kind);
        r.strings = std::move(strings);
        const std::optional<QByteArray> bytes = r.encode();
        if (!bytes)
            die(QStringLiteral("a seed record cannot be encoded"));
        return *bytes;
    };
    put(QStringLiteral("copydata"), QStringLiteral("show.rec"),
        record(CopyDataKind::ShowPage, {{0, QStringLiteral("/cd/run/glava1.htm")}}));
    put(QStringLiteral("copydata"), QStringLiteral("print.rec"),
        record(CopyDataKind::PrintFile, {{1, QStringLiteral("glava2.htm")}, {2, QStringLiteral("Глава 2")}}));
    put(QStringLiteral("copydata"), QStringLiteral("query.rec"),
        record(CopyDataKind::QueryFile,
               {{0, QStringLiteral("images/big.jpg")}, {0, QString(273, u'я')}, {-1, QString()}}));
}

void pathSeeds()
{
    const char* const values[] = {
        "<cd>\\video\\start.avi",        "glava1.htm\n/cd/run/frames/",     "..\\..\\..\\etc\\passwd\n/cd/run/",
        "html1=..\\frames\\index.htm#a", "run=<cd>\\setup.exe=c:\\windows", "c:\\Program Files\\x.exe\nc:\\cd\\run",
        "/abs/../x/./y\nrelative\\dir",  "frames/../../a.htm\n/",           "noext",
    };
    int i = 0;
    for (const char* value : values)
        put(QStringLiteral("paths"), QStringLiteral("path%1.txt").arg(++i), toCp1251(QString::fromUtf8(value)));
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    if (argc != 3)
        die(QStringLiteral("usage: fuzz-seeds SOURCE_DIR OUT_DIR"));
    g_source = QString::fromLocal8Bit(argv[1]);
    g_out = QString::fromLocal8Bit(argv[2]);
    QDir(g_out).removeRecursively();
    scriptSeeds();
    containerSeeds();
    packSeeds();
    indexSeeds();
    pageSeeds();
    rarSeeds();
    copyDataSeeds();
    pathSeeds();
    return 0;
}
