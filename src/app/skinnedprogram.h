#pragma once

// The skinned window with its components, joined as the program starts it: the components first
// (the panes, trees, popups, media, texts and the options dialog), then the skinned dialog and the
// search, which take over the dialog requests they answer. Start-up and the tests that drive the
// window's controls build it through this one path, so what a test drives is what the reader gets.

#include <functional>
#include <memory>

class AppComponents;
class AppContext;
class EngineParts;
class SearchComponents;
class SkinScript;
class TMainForm;

class SkinnedProgram final
{
public:
    // engine gives the web engine's parts when the panes are first needed.
    SkinnedProgram(AppContext& context, SkinScript& script, std::function<EngineParts*()> engine);
    // The components go before the window, the search and dialog before the components.
    ~SkinnedProgram();
    SkinnedProgram(const SkinnedProgram&) = delete;
    SkinnedProgram& operator=(const SkinnedProgram&) = delete;

    TMainForm& form() { return *m_form; }
    AppComponents& components() { return *m_components; }
    SearchComponents& search() { return *m_search; }

private:
    std::unique_ptr<TMainForm> m_form;
    std::unique_ptr<AppComponents> m_components;
    std::unique_ptr<SearchComponents> m_search;
};
