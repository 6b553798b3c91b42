#pragma once

class QCoreApplication;

// Installs Qt's own Korean texts (standard buttons, the colour and file dialogs) from the Qt
// translations folder, so they speak Korean like the rest of the program whatever the session's
// language. False when the translations are not installed (Debian qt6-translations-l10n).
bool installKoreanQtTexts(QCoreApplication& application);
