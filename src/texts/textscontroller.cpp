#include "textscontroller.h"

#include "appcontext.h"
#include "pathinputbox.h"
#include "scalebar.h"
#include "skinscript.h"
#include "statusline.h"
#include "textmsg.h"

namespace {

// Label number 1 carries the title of the loaded document, followed by two blanks.
constexpr int kTitleNumber = 1;

} // namespace

TextsController::TextsController(QWidget* window, AppContext& context, const SkinScript& script,
                                 std::function<int()> currentScreen)
    : m_currentScreen(currentScreen)
{
    if (!script.text.isEmpty())
        m_texts = std::make_unique<TTextMsg>(window, script.text, currentScreen);
    m_status = std::make_unique<TStatusLine>(m_texts.get());
    if (!script.path.isEmpty())
        m_paths = std::make_unique<TPathInputBox>(window, script.path, context.openSettings(), currentScreen);
    m_scaleBar = std::make_unique<TScaleBar>(context.container, currentScreen);
}

TextsController::~TextsController() = default;

void TextsController::ShowFieldsForScreen()
{
    if (m_paths)
        m_paths->ShowFieldsForScreen();
}

void TextsController::PaintTexts(QPainter& painter)
{
    if (m_texts)
        m_texts->PaintTexts(painter, TTextMsg::Owner::MainWindow);
}

void TextsController::setPageTitle(const QString& title)
{
    if (m_texts)
        m_texts->SetText(title + QStringLiteral("  "), kTitleNumber, true);
}

void TextsController::showStatus(const QString& text)
{
    m_status->ShowMessage(text);
}

void TextsController::clearStatus()
{
    m_status->ClearMessage();
}

void TextsController::hideFields(bool hidden)
{
    if (m_paths)
        m_paths->HideFields(hidden);
}

QString TextsController::path() const
{
    return m_paths ? m_paths->GetPath() : QString();
}

QString TextsController::path(int screen) const
{
    return m_paths ? m_paths->GetPath(screen) : QString();
}

QString TextsController::copyFolder() const
{
    if (!m_paths)
        return QString();
    const QString here = m_paths->GetPath();
    return here.isEmpty() ? m_paths->firstPath() : here;
}

bool TextsController::statusLineShown() const
{
    if (!m_texts)
        return false;
    const int screen = m_currentScreen ? m_currentScreen() : 0;
    for (const TTextMsg::Label& label : m_texts->labels()) {
        if (label.statusLine && label.screen == screen && label.number != TTextMsg::kDialogNumber)
            return true;
    }
    return false;
}
