#pragma once

// The popup lists joined to the skinned window: its screen, its dispatcher, its panes and trees,
// and the skin's container.

#include <memory>

class AppContext;
class SkinScript;
class TControlPopupWindow;
class TMainForm;

// The popups of the window, or nullptr when the skin declares no popup element.
std::unique_ptr<TControlPopupWindow> makePopups(TMainForm& form, AppContext& context, const SkinScript& script);
