#pragma once
// The language of the program's texts. They are written in Russian; an English translation is
// built in. The locale decides (LANGUAGE first, then LC_ALL, LC_MESSAGES, LANG): the first of its
// languages that is English or Russian wins, and Russian is kept when none is.
#include <QString>
#include <QStringList>

namespace tinkla
{

enum class UiLanguage { Russian, English };

// The language for a locale's list of UI languages, most wanted first ("en-GB", "ru_RU", "C").
UiLanguage PickUiLanguage(const QStringList& uiLanguages);
// The language the system's locale asks for.
UiLanguage SystemUiLanguage();

// Installs the translators for the language into the running application, once: the program's
// own catalogues under English, and Qt's texts (standard buttons, file dialogs, context menus) in
// the same language. Sets the default QLocale to match, so numbers and dates agree. Returns the
// language installed.
UiLanguage InstallUiLanguage(UiLanguage language);
// The language installed last (Russian until something is installed).
UiLanguage CurrentUiLanguage();

} // namespace tinkla
