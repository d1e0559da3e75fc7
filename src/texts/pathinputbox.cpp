#include "pathinputbox.h"

#include "pathresolver.h"
#include "settingskeys.h"
#include "settingsstore.h"

#include <QCoreApplication>
#include <QDir>
#include <QLineEdit>
#include <QMouseEvent>
#include <QWidget>

#include <algorithm>

namespace {

// The folder text stands for, without a trailing '/' (but "/" for the root); text is not blank.
QString folderOf(QString text)
{
    text.replace(QLatin1Char('\\'), QLatin1Char('/'));
    const QString home = QDir::homePath();
    QString rest;
    if (hasDriveLetter(text))
        rest = text.mid(2);
    else if (text == QLatin1String("~") || text.startsWith(QLatin1String("~/")))
        rest = text.mid(1);
    else if (!text.startsWith(QLatin1Char('/')))
        rest = text;
    else
        return QDir::cleanPath(text);
    return QDir::cleanPath(home + QLatin1Char('/') + rest);
}

} // namespace

QString pathFieldFolder(const QString& text)
{
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty())
        return QString();
    QString folder = folderOf(trimmed);
    if (!folder.endsWith(QLatin1Char('/')))
        folder += QLatin1Char('/');
    return folder;
}

QString pathFieldText(const QString& text)
{
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty() || trimmed.startsWith(QLatin1Char('/')))
        return text; // a folder of this disk already, as the user wrote it
    QString folder = folderOf(trimmed);
    if ((trimmed.endsWith(QLatin1Char('/')) || trimmed.endsWith(QLatin1Char('\\'))) &&
        !folder.endsWith(QLatin1Char('/')))
        folder += QLatin1Char('/');
    return folder;
}

TPathInputBox::TPathInputBox(QWidget* window, const TDynamicPathInputArray& fields, SettingsStore& settings,
                             std::function<int()> currentScreen)
    : m_window(window), m_settings(settings), m_currentScreen(std::move(currentScreen))
{
    for (qsizetype i = 0; i < fields.size(); ++i) {
        const RPathInput& record = fields[i];
        auto* box = new QLineEdit(window);
        box->hide();
        box->setFrame(false);
        box->setToolTip(record.hint);
        QFont font = box->font();
        font.setPixelSize(std::max(1, record.vh - record.vy - 1));
        box->setFont(font);
        box->setGeometry(record.vx, record.vy, record.vw - record.vx, record.vh - record.vy);
        const QString saved = m_settings.readString(SettingsKeys::pathField(i)).value_or(QString());
        box->setText(pathFieldText(saved.isEmpty() ? record.pathdef : saved));
        box->setMouseTracking(true);
        box->installEventFilter(this);
        m_texts.append(box->text());
        connect(box, &QLineEdit::textChanged, this, [this, i](const QString& text) { m_texts[i] = text; });
        // What the user typed is shown as the folder the copies will really use.
        connect(box, &QLineEdit::editingFinished, box, [box] {
            const QString shown = pathFieldText(box->text());
            if (shown != box->text())
                box->setText(shown);
        });
        m_fields.append(box);
        m_screens.append(record.screen);
    }
    ShowFieldsForScreen();
}

TPathInputBox::~TPathInputBox()
{
    save();
}

void TPathInputBox::ShowFieldsForScreen()
{
    const int screen = m_currentScreen();
    for (qsizetype i = 0; i < m_fields.size(); ++i) {
        if (m_fields[i])
            m_fields[i]->setVisible(m_screens[i] == screen);
    }
    m_lastScreen = screen;
}

void TPathInputBox::HideFields(bool hidden)
{
    const int screen = m_currentScreen();
    for (qsizetype i = 0; i < m_fields.size(); ++i) {
        if (m_fields[i] && m_screens[i] == screen)
            m_fields[i]->setVisible(!hidden);
    }
}

QString TPathInputBox::GetPath(int screen) const
{
    const auto at = std::find(m_screens.cbegin(), m_screens.cend(), screen);
    if (at == m_screens.cend())
        return QString();
    return pathFieldFolder(m_texts[at - m_screens.cbegin()]);
}

void TPathInputBox::save()
{
    for (qsizetype i = 0; i < m_texts.size(); ++i)
        m_settings.writeString(SettingsKeys::pathField(i), m_texts[i]);
    m_settings.sync();
}

bool TPathInputBox::eventFilter(QObject* watched, QEvent* event)
{
    // The window's pointer handling sees a move over a field as a move off every element.
    if (event->type() == QEvent::MouseMove && m_window && watched != m_window) {
        const auto* move = static_cast<QMouseEvent*>(event);
        QMouseEvent outside(QEvent::MouseMove, QPointF(-1, -1), move->globalPosition(), Qt::NoButton, move->buttons(),
                            move->modifiers());
        QCoreApplication::sendEvent(m_window, &outside);
    }
    return QObject::eventFilter(watched, event);
}
