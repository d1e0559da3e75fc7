// The path fields on a window: placed per screen, remembered between runs in the title's settings.

#include "appcontext.h"
#include "pathinputbox.h"
#include "settingsstore.h"
#include "skinscript.h"
#include "textscontroller.h"

#include <QDir>
#include <QLineEdit>
#include <QMouseEvent>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QWidget>

namespace {

const QString kTitle = QStringLiteral(u"Поля для проверки");

RPathInput field(int screen, const QString& pathdef, int vy = 10)
{
    RPathInput p;
    p.vx = 20;
    p.vy = vy;
    p.vw = 220;
    p.vh = vy + 21;
    p.pathdef = pathdef;
    p.screen = screen;
    p.hint = QStringLiteral(u"Папка");
    return p;
}

// Like the skinned window, it follows the pointer without a button held.
class Window final : public QWidget
{
public:
    Window() { setMouseTracking(true); }
    QList<QPoint> moves;

protected:
    void mouseMoveEvent(QMouseEvent* event) override { moves.append(event->position().toPoint()); }
};

} // namespace

class TestPathInputBox : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        QVERIFY(m_dir.isValid());
    }

    void init()
    {
        SettingsStore(kTitle).remove(QString());
        m_screen = 0;
        m_window = std::make_unique<Window>();
        m_window->resize(400, 300);
        m_window->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
    }

    void cleanup()
    {
        m_window.reset();
        SettingsStore(kTitle).remove(QString());
    }

    void startText_isSavedValueOrDefault_data()
    {
        QTest::addColumn<QVariant>("saved");
        QTest::addColumn<QString>("shown");
        // The default is written for Windows: the field shows the folder the copies really go to.
        QTest::newRow("nothing saved") << QVariant() << QDir::homePath() + "/velbrook/";
        QTest::newRow("empty value") << QVariant(QString()) << QDir::homePath() + "/velbrook/";
        QTest::newRow("saved folder") << QVariant(QStringLiteral("/home/u/manuals")) << "/home/u/manuals";
        QTest::newRow("saved by an older copy")
            << QVariant(QStringLiteral("D:\\Manuals")) << QDir::homePath() + "/Manuals";
    }

    void startText_isSavedValueOrDefault()
    {
        QFETCH(QVariant, saved);
        QFETCH(QString, shown);
        {
            SettingsStore settings(kTitle);
            if (saved.isValid())
                settings.writeString(QStringLiteral("PathInstall0"), saved.toString());
            settings.sync();
        }
        SettingsStore settings(kTitle);
        TPathInputBox box(m_window.get(), {field(0, QStringLiteral("c:\\velbrook\\"))}, settings, screen());
        QCOMPARE(box.field(0)->text(), shown);
    }

    void editedFolder_survivesARestart()
    {
        const SkinScript script = scriptWith({field(0, QStringLiteral("c:\\velbrook\\")), field(0, "/opt/b", 40)});
        {
            const auto context = makeContext();
            TextsController texts(m_window.get(), *context, script, screen());
            QLineEdit* first = texts.pathFields()->field(0);
            first->clear();
            QTest::keyClicks(first, QStringLiteral("/home/u/"));
            first->insert(QStringLiteral(u"выгрузка")); // keyClicks types ASCII only
        }
        QCOMPARE(SettingsStore(kTitle).readString(QStringLiteral("PathInstall0")), QStringLiteral(u"/home/u/выгрузка"));
        QCOMPARE(SettingsStore(kTitle).readString(QStringLiteral("PathInstall1")), QStringLiteral("/opt/b"));

        const auto context = makeContext();
        TextsController texts(m_window.get(), *context, script, screen());
        QCOMPARE(texts.pathFields()->field(0)->text(), QStringLiteral(u"/home/u/выгрузка"));
        QCOMPARE(texts.path(), QStringLiteral(u"/home/u/выгрузка/"));
    }

    void fields_showOnlyOnTheirScreen()
    {
        SettingsStore settings(kTitle);
        TPathInputBox box(m_window.get(), {field(0, "/a"), field(1, "/b"), field(1, "/c", 40), field(2, "/d")},
                          settings, screen());
        auto visible = [&box] {
            QList<bool> shown;
            for (qsizetype i = 0; i < box.count(); ++i)
                shown << box.field(i)->isVisible();
            return shown;
        };
        QCOMPARE(visible(), (QList<bool>{true, false, false, false}));
        QCOMPARE(box.field(0)->geometry(), QRect(20, 10, 200, 21));
        QCOMPARE(box.field(0)->font().pixelSize(), 20);
        QCOMPARE(box.field(0)->toolTip(), QStringLiteral(u"Папка"));

        m_screen = 1;
        box.ShowFieldsForScreen();
        QCOMPARE(visible(), (QList<bool>{false, true, true, false}));
        box.ShowFieldsForScreen(); // told twice about the same screen
        QCOMPARE(visible(), (QList<bool>{false, true, true, false}));

        box.HideFields(true);
        QCOMPARE(visible(), (QList<bool>{false, false, false, false}));
        box.HideFields(false);
        QCOMPARE(visible(), (QList<bool>{false, true, true, false}));

        m_screen = 3; // a screen without fields
        box.ShowFieldsForScreen();
        QCOMPARE(visible(), (QList<bool>{false, false, false, false}));
        m_screen = 0;
        box.ShowFieldsForScreen();
        QCOMPARE(visible(), (QList<bool>{true, false, false, false}));
    }

    void getPath_data()
    {
        QTest::addColumn<int>("screen");
        QTest::addColumn<QString>("path");
        QTest::newRow("drive letter: the home folder, trailing '/' added") << 0 << QDir::homePath() + "/velbrook/";
        QTest::newRow("first field of the screen") << 1 << "/home/u/x/";
        QTest::newRow("blank field") << 2 << "";
        QTest::newRow("screen without a field") << 3 << "";
    }

    void getPath()
    {
        QFETCH(int, screen);
        QFETCH(QString, path);
        SettingsStore settings(kTitle);
        m_screen = screen;
        TPathInputBox box(
            m_window.get(),
            {field(0, QStringLiteral("c:\\velbrook")), field(1, "/home/u/x/"), field(1, "/second"), field(2, "  ")},
            settings, this->screen());
        QCOMPARE(box.GetPath(), path);
    }

    void folderOfAText_isTheFolderTheCopiesUse_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("folder"); // "~" for the home folder
        QTest::addColumn<QString>("shown");
        QTest::newRow("drive letter") << "c:\\velbrook\\"
                                      << "~/velbrook/"
                                      << "~/velbrook/";
        QTest::newRow("drive letter, no trailing separator") << "C:\\Velbrook"
                                                             << "~/Velbrook/"
                                                             << "~/Velbrook";
        QTest::newRow("drive letter with '/'") << "e:/x/y"
                                               << "~/x/y/"
                                               << "~/x/y";
        QTest::newRow("drive only") << "d:"
                                    << "~/"
                                    << "~";
        QTest::newRow("tilde") << "~/books"
                               << "~/books/"
                               << "~/books";
        QTest::newRow("relative folder") << "books\\2024"
                                         << "~/books/2024/"
                                         << "~/books/2024";
        QTest::newRow("absolute folder stays") << "/opt/books/"
                                               << "/opt/books/"
                                               << "/opt/books/";
        QTest::newRow("absolute, untidy") << "/opt//books/./x"
                                          << "/opt/books/x/"
                                          << "/opt//books/./x";
        QTest::newRow("root") << "/"
                              << "/"
                              << "/";
        QTest::newRow("blank") << "   "
                               << ""
                               << "   ";
    }

    void folderOfAText_isTheFolderTheCopiesUse()
    {
        QFETCH(QString, text);
        QFETCH(QString, folder);
        QFETCH(QString, shown);
        const auto home = [](QString s) { return s.startsWith('~') ? QDir::homePath() + s.mid(1) : s; };
        QCOMPARE(pathFieldFolder(text), home(folder));
        QCOMPARE(pathFieldText(text), home(shown));
    }

    void typedDriveLetter_isShownAsTheHomeFolderOnceTyped()
    {
        SettingsStore settings(kTitle);
        TPathInputBox box(m_window.get(), {field(0, "/a")}, settings, screen());
        QLineEdit* edit = box.field(0);
        edit->setFocus();
        edit->clear();
        QTest::keyClicks(edit, QStringLiteral("d:\\Manuals\\"));
        // While typing the text stays as typed, and already means the home folder.
        QCOMPARE(edit->text(), QStringLiteral("d:\\Manuals\\"));
        QCOMPARE(box.GetPath(), QDir::homePath() + "/Manuals/");
        QTest::keyClick(edit, Qt::Key_Return);
        QCOMPARE(edit->text(), QDir::homePath() + "/Manuals/");
        QCOMPARE(box.GetPath(), QDir::homePath() + "/Manuals/");
        box.save();
        QCOMPARE(settings.readString(QStringLiteral("PathInstall0")), QDir::homePath() + "/Manuals/");
    }

    void pointerOverField_isAMoveOffTheWindowsElements()
    {
        SettingsStore settings(kTitle);
        TPathInputBox box(m_window.get(), {field(0, "/a")}, settings, screen());
        QLineEdit* edit = box.field(0);
        QMouseEvent move(QEvent::MouseMove, QPointF(5, 5), edit->mapToGlobal(QPointF(5, 5)), Qt::NoButton, Qt::NoButton,
                         Qt::NoModifier);
        QCoreApplication::sendEvent(edit, &move);
        QCOMPARE(m_window->moves, QList<QPoint>{QPoint(-1, -1)});
    }

    void noFields_pathIsEmpty()
    {
        const auto context = makeContext();
        TextsController texts(m_window.get(), *context, scriptWith({}), screen());
        QVERIFY(!texts.pathFields());
        QVERIFY(texts.path().isEmpty());
        texts.ShowFieldsForScreen();
        texts.hideFields(true);
    }

private:
    std::function<int()> screen()
    {
        return [this] { return m_screen; };
    }

    SkinScript scriptWith(const TDynamicPathInputArray& fields) const
    {
        SkinScript script(ProgramFolders{QStringLiteral("/"), m_dir.path() + QLatin1Char('/')});
        script.path = fields;
        return script;
    }

    std::unique_ptr<AppContext> makeContext() const
    {
        auto context = std::make_unique<AppContext>(StartupValues::forContentFolder(m_dir.path()));
        context->values.appTitle = kTitle;
        return context;
    }

    QTemporaryDir m_dir;
    int m_screen = 0;
    std::unique_ptr<Window> m_window;
};

QTEST_MAIN(TestPathInputBox)
#include "tst_pathinputbox.moc"
