#pragma once

// Qt's own texts (file dialogs, message box buttons, the web engine's menus) in Russian, like the
// rest of the interface.

class QCoreApplication;

// Makes Russian the program's locale and installs Qt's Russian translations from the folder Qt
// keeps them in (without them Qt's texts stay in English, which one debug line reports), with the
// few texts they lack; Qt's own file dialogs show sizes and dates in Russian too.
void installRussianTranslations(QCoreApplication& app);
