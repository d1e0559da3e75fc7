#include "appcomponents.h"

#include "mainform.h"
#include "textscontroller.h"

AppComponents::AppComponents(TMainForm& form, AppContext& context, const SkinScript& script)
    : m_texts(std::make_unique<TextsController>(&form, context, script, [&form] { return form.currentScreen(); }))
{
    form.components().misc = this;
}

AppComponents::~AppComponents() = default;

void AppComponents::showFieldsForScreen()
{
    m_texts->showFieldsForScreen();
}

void AppComponents::paintTexts(QPainter& painter)
{
    m_texts->paintTexts(painter);
}
