// The man pages and the shell completion follow the programs they describe: every option of
// `velbrook --help`, every command and option of `velbrook-tool --help` and every environment
// variable of the README's table are in the man pages, and the completion offers each group's verbs
// and each command's options as the tool's help lists them. A verb or option added to a program
// without its documentation fails here.

#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTest>

#include <map>
#include <set>

namespace {

QString readText(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

// A man page's source as the reader reads it: font changes, quotes and escaped hyphens gone.
QString manText(const QString& page)
{
    QString text = readText(QStringLiteral(VELBROOK_SOURCE_DIR "/dist/man/") + page);
    text.remove(QRegularExpression(QStringLiteral("\\\\f[BIRP]")));
    text.replace(QStringLiteral("\\-"), QStringLiteral("-"));
    text.remove(QLatin1Char('"'));
    return text;
}

QString helpOf(const QString& program, const QStringList& arguments)
{
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    process.setProcessEnvironment(env);
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, arguments);
    if (!process.waitForFinished(30000))
        return {};
    return QString::fromUtf8(process.readAll());
}

// The tool's commands from its help: "group verb" (or "scan", "send") and the options of each.
std::map<QString, QStringList> toolCommands()
{
    std::map<QString, QStringList> commands;
    const QString help = helpOf(QStringLiteral(VELBROOK_TOOL), {"--help"});
    static const QRegularExpression command(QStringLiteral("^  ([a-z]+)(?: ([a-z]+))?(?=\\s)(.*)$"));
    static const QRegularExpression option(QStringLiteral("(?:^|[\\s\\[])(--?[a-z][a-z-]*)"));
    for (const QString& line : help.split(QLatin1Char('\n'))) {
        const QRegularExpressionMatch match = command.match(line);
        if (!match.hasMatch())
            continue;
        const QString name =
            match.captured(2).isEmpty() ? match.captured(1) : match.captured(1) + ' ' + match.captured(2);
        // The usage ends where the description column starts (two blanks or more).
        const QString usage = match.captured(3).split(QRegularExpression(QStringLiteral("\\s{2,}"))).value(0);
        QStringList options;
        for (auto it = option.globalMatch(usage); it.hasNext();)
            options << it.next().captured(1);
        commands[name] = options;
    }
    return commands;
}

// What bash completes for `velbrook-tool WORDS... CURRENT`.
QStringList complete(const QStringList& words, const QString& current)
{
    const QString line = (QStringList{"velbrook-tool"} + words + QStringList{current}).join(' ');
    QString script = QStringLiteral("source /usr/share/bash-completion/bash_completion\n"
                                    "source '" VELBROOK_SOURCE_DIR "/dist/bash-completion/velbrook-tool'\n"
                                    "COMP_WORDS=(velbrook-tool");
    for (const QString& word : words + QStringList{current})
        script += QStringLiteral(" '%1'").arg(word);
    script += QStringLiteral(")\nCOMP_CWORD=%1\nCOMP_LINE='%2'\nCOMP_POINT=${#COMP_LINE}\n"
                             "_velbrook_tool\nprintf '%s\\n' \"${COMPREPLY[@]}\"\n")
                  .arg(words.size() + 1)
                  .arg(line);
    QProcess bash;
    bash.start(QStringLiteral("bash"), {"-c", script});
    if (!bash.waitForFinished(30000))
        return {"(bash did not finish)"};
    QStringList replies = QString::fromUtf8(bash.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
    replies.sort();
    return replies;
}

} // namespace

class TestCommandDocs : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        m_commands = toolCommands();
        QVERIFY2(m_commands.size() > 10, "velbrook-tool --help lists no commands");
    }

    void programOptions_areInItsManPage()
    {
        const QString help = helpOf(QStringLiteral(VELBROOK_APP), {"--help"});
        const QString man = manText(QStringLiteral("velbrook.1"));
        static const QRegularExpression option(QStringLiteral("^  (--[a-z-]+)"), QRegularExpression::MultilineOption);
        QStringList options;
        for (auto it = option.globalMatch(help); it.hasNext();)
            options << it.next().captured(1);
        QVERIFY(options.contains("--content") && options.contains("--print-to"));
        for (const QString& name : std::as_const(options))
            QVERIFY2(man.contains(name), qPrintable(name + " is not in velbrook.1"));
        for (const char* words : {"/h", "/t", "Kel.dhl", "EXIT STATUS", "ENVIRONMENT"})
            QVERIFY2(man.contains(QLatin1String(words)), words);
    }

    // As a terminal without a display asks them: no window system is opened for them.
    void helpAndVersion_needNoDisplay()
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.remove(QStringLiteral("DISPLAY"));
        env.remove(QStringLiteral("WAYLAND_DISPLAY"));
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
        for (const char* option : {"--version", "--help"}) {
            QProcess program;
            program.setProcessEnvironment(env);
            program.start(QStringLiteral(VELBROOK_APP), {QLatin1String(option)});
            QVERIFY(program.waitForFinished(30000));
            QCOMPARE(program.exitStatus(), QProcess::NormalExit);
            QCOMPARE(program.exitCode(), 0);
            QVERIFY2(program.readAllStandardError().isEmpty(), option);
            QVERIFY(program.readAllStandardOutput().startsWith(option[2] == 'v' ? "velbrook " : "Usage: velbrook"));
        }
    }

    void toolCommands_areInItsManPage()
    {
        const QString man = manText(QStringLiteral("velbrook-tool.1"));
        for (const auto& [command, options] : m_commands) {
            QVERIFY2(man.contains(command + ' '), qPrintable(command + " is not in velbrook-tool.1"));
            for (const QString& name : options)
                QVERIFY2(man.contains(name), qPrintable(command + " " + name + " is not in velbrook-tool.1"));
        }
    }

    void readmeEnvironment_isInTheManPage()
    {
        // The README's table of them: "| `NAME` | what |".
        const QString readme = readText(QStringLiteral(VELBROOK_SOURCE_DIR "/README.md"));
        const qsizetype section = readme.indexOf(QStringLiteral("\n## Environment\n"));
        QVERIFY(section >= 0);
        const QString table = readme.mid(section, readme.indexOf(QStringLiteral("\n## "), section + 1) - section);
        const QString man = manText(QStringLiteral("velbrook.1"));
        static const QRegularExpression variable(QStringLiteral("^\\| `([A-Z][A-Z0-9_]*)` \\|"),
                                                 QRegularExpression::MultilineOption);
        std::set<QString> names;
        for (auto it = variable.globalMatch(table); it.hasNext();)
            names.insert(it.next().captured(1));
        QVERIFY(names.count("QT_LOGGING_RULES") && names.count("XDG_DATA_HOME"));
        for (const QString& name : names)
            QVERIFY2(man.contains(name), qPrintable(name + " is named in the README but not in velbrook.1"));
    }

    void completion_offersTheToolsCommands()
    {
        if (!QFile::exists(QStringLiteral("/usr/share/bash-completion/bash_completion")))
            QSKIP("bash-completion is not installed (scripts/setup-deps installs it)");
        std::map<QString, QStringList> verbs;
        QStringList groups{"--help", "-h"};
        for (const auto& [command, options] : m_commands) {
            const QStringList words = command.split(' ');
            if (!groups.contains(words[0]))
                groups << words[0];
            if (words.size() == 2)
                verbs[words[0]] << words[1];
        }
        groups.sort();
        QCOMPARE(complete({}, QString()), groups);
        for (auto& [group, list] : verbs) {
            list.sort();
            QCOMPARE(complete({group}, QString()), list);
        }
        for (const auto& [command, options] : m_commands) {
            if (options.isEmpty())
                continue;
            QStringList words = command.split(' ');
            if (words.size() == 1)
                words << "FOLDER"; // scan's and send's first argument
            QStringList expected = options;
            expected.sort();
            QCOMPARE(complete(words, QStringLiteral("-")), expected);
        }
    }

private:
    std::map<QString, QStringList> m_commands;
};

QTEST_GUILESS_MAIN(TestCommandDocs)
#include "tst_commanddocs.moc"
