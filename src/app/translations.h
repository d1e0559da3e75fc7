#pragma once

// Qt's own texts (file dialogs, message box buttons, the web engine's menus) in Russian, like the
// rest of the interface.

class QCoreApplication;

// Installs Qt's Russian translations from the folder Qt keeps them in; without them Qt's texts stay
// in English, which one debug line reports.
void installRussianTranslations(QCoreApplication& app);
