// Look-ups in the thesaurus index tezaurus.idx.

#include "contentpack.h"
#include "indexfixture.h"
#include "packwriter.h"
#include "pathresolver.h"
#include "rawpack.h"
#include "tesaurusfind.h"
#include "testfiles.h"

#include <QTemporaryDir>
#include <QTest>

class TestTesaurusFind : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
        m_root = m_dir->path() + QLatin1Char('/');
        m_pack = std::make_unique<ContentPack>(m_disk);
    }

    void lookup_data()
    {
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<QString>("word");
        QTest::addColumn<QString>("expected"); // a null string: no match

        const QStringList book{u"тормоза ~ t\\brakes.htm#top"_qs, u"двигател~t/engine.htm"_qs,
                               u"  масло  ~  t\\oil.htm  "_qs, u"двигатель~t/never.htm"_qs};
        QTest::newRow("empty word: the first page") << book << QString() << u"t/brakes.htm#top"_qs;
        QTest::newRow("key within a longer word, any case") << book << u"Двигателя"_qs << u"t/engine.htm"_qs;
        QTest::newRow("the first matching line wins") << book << u"двигатель"_qs << u"t/engine.htm"_qs;
        QTest::newRow("blanks around both fields are ignored") << book << u"МАСЛО"_qs << u"t/oil.htm"_qs;
        QTest::newRow("a key longer than the word does not match") << book << u"двигат"_qs << QString();
        QTest::newRow("no match") << book << u"кузов"_qs << QString();

        const QStringList ragged{u"без страницы"_qs, u"~сирота.htm"_qs, u"пусто~"_qs, u"пусто ~   "_qs,
                                 u"руль~t/wheel.htm"_qs};
        QTest::newRow("lines without a page are passed over") << ragged << u"пусто"_qs << QString();
        QTest::newRow("empty word: the first line with a page") << ragged << QString() << u"t/wheel.htm"_qs;
        QTest::newRow("a key without a page does not stop the search")
            << ragged << u"рулевой руль"_qs << u"t/wheel.htm"_qs;
        QTest::newRow("an index with no lines") << QStringList{} << QString() << QString();

        const QStringList outside{u"вне~..\\..\\outside.htm"_qs, u"абс~/etc/passwd"_qs, u"диск~d:\\x.htm"_qs,
                                  u"внутри~t\\in.htm"_qs};
        QTest::newRow("empty word: a start page outside the manual is passed over")
            << outside << QString() << u"t/in.htm"_qs;
        QTest::newRow("a page outside the manual is never given") << outside << u"вне"_qs << QString();
        QTest::newRow("nor an absolute one") << outside << u"абс"_qs << QString();
    }

    void lookup()
    {
        QFETCH(QStringList, lines);
        QFETCH(QString, word);
        QFETCH(QString, expected);
        writeTestFile(m_root + "tezaurus.idx", indexText(lines));

        TMakeTesaurusFind find(*m_pack);
        find.SetIndexFolder(m_dir->path() + QLatin1Char('\\'));
        QString page = QStringLiteral("untouched");
        const IndexLookup lookup = find.FindInThesaurus(word, page);
        QCOMPARE(lookup.message, IndexMessage::None);
        QCOMPARE(lookup.found, !expected.isNull());
        QCOMPARE(page, expected.isNull() ? QStringLiteral("untouched") : expected);
    }

    void missingIndex_findsNothingQuietly()
    {
        TMakeTesaurusFind find(*m_pack);
        find.SetIndexFolder(m_root);
        QString page;
        const IndexLookup lookup = find.FindInThesaurus(QString(), page);
        QVERIFY(!lookup);
        QCOMPARE(lookup.message, IndexMessage::None);
    }

    void packedIndex_isRead()
    {
        PackWriter writer;
        writer.addFile("TEZAURUS.IDX", indexText({u"свеча~t\\spark.htm"_qs}));
        openPack(writer.build());
        TMakeTesaurusFind find(*m_pack);
        find.SetIndexFolder(m_root);
        QString page;
        QVERIFY(find.FindInThesaurus(u"Свеча"_qs, page));
        QCOMPARE(page, u"t/spark.htm"_qs);
    }

    void unreadableIndex_givesItsWarning()
    {
        RawPack raw;
        raw.entries.append({"TEZAURUS.IDX", 0, 4, 100, 1});
        raw.data = "junk";
        raw.folders = {{0, 1}};
        openPack(raw.bytes());
        TMakeTesaurusFind find(*m_pack);
        find.SetIndexFolder(m_root);
        QString page;
        const IndexLookup lookup = find.FindInThesaurus(QString(), page);
        QVERIFY(!lookup);
        QCOMPARE(lookup.message, IndexMessage::ThesaurusUnreadable);
        QCOMPARE(indexMessageText(lookup.message), u"Индексный файл не найден (tezaurus.idx)"_qs);
        QVERIFY(isIndexWarning(lookup.message));
    }

private:
    void openPack(const QByteArray& bytes)
    {
        writeTestFile(m_root + "interface.dat", bytes);
        QVERIFY(m_pack->OpenPack(m_root + "interface.dat"));
        m_pack->SetPackBase(m_root);
    }

    PathResolver m_disk;
    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_root;
    std::unique_ptr<ContentPack> m_pack;
};

QTEST_GUILESS_MAIN(TestTesaurusFind)
#include "tst_tesaurusfind.moc"
