#include "skinnedprogram.h"

#include "appcomponents.h"
#include "mainform.h"
#include "searchcomponents.h"

SkinnedProgram::SkinnedProgram(AppContext& context, SkinScript& script, std::function<EngineParts*()> engine)
    : m_form(std::make_unique<TMainForm>(context, script)),
      m_components(std::make_unique<AppComponents>(*m_form, context, script, std::move(engine))),
      m_search(std::make_unique<SearchComponents>(*m_form, context, script, *m_components))
{
}

SkinnedProgram::~SkinnedProgram()
{
    m_search.reset();
    m_components.reset();
    m_form.reset();
}
