#include "platform/Translations.h"

#include <QCoreApplication>
#include <QDir>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>
#include <memory>
#include <vector>

namespace tinkla
{

namespace
{
UiLanguage g_current = UiLanguage::Russian;

// Translators must outlive every text drawn with them: they stay until the program ends.
std::vector<std::unique_ptr<QTranslator>>& Installed()
{
    static std::vector<std::unique_ptr<QTranslator>> translators;
    return translators;
}

void Install(std::unique_ptr<QTranslator> translator)
{
    QCoreApplication::installTranslator(translator.get());
    Installed().push_back(std::move(translator));
}
} // namespace

UiLanguage PickUiLanguage(const QStringList& uiLanguages)
{
    for (const QString& name : uiLanguages) {
        const QString code = name.section(QLatin1Char('_'), 0, 0)
                                 .section(QLatin1Char('-'), 0, 0)
                                 .section(QLatin1Char('.'), 0, 0)
                                 .toLower();
        if (code == QLatin1String("en"))
            return UiLanguage::English;
        if (code == QLatin1String("ru"))
            return UiLanguage::Russian;
    }
    return UiLanguage::Russian;
}

UiLanguage SystemUiLanguage()
{
    return PickUiLanguage(QLocale::system().uiLanguages());
}

UiLanguage InstallUiLanguage(UiLanguage language)
{
    for (const auto& translator : Installed())
        QCoreApplication::removeTranslator(translator.get());
    Installed().clear();
    g_current = language;
    const QString qtTexts = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    if (language == UiLanguage::Russian) {
        const QLocale russian(QLocale::Russian, QLocale::Russia);
        QLocale::setDefault(russian);
        auto qt = std::make_unique<QTranslator>();
        if (qt->load(russian, QStringLiteral("qtbase"), QStringLiteral("_"), qtTexts))
            Install(std::move(qt));
        return language;
    }
    // English: Qt speaks it untranslated; the program's catalogues are the ones linked in.
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    const QDir catalogues(QStringLiteral(":/i18n"));
    for (const QString& name : catalogues.entryList({QStringLiteral("*_en.qm")}, QDir::Files)) {
        auto translator = std::make_unique<QTranslator>();
        if (translator->load(catalogues.filePath(name)))
            Install(std::move(translator));
    }
    return language;
}

UiLanguage CurrentUiLanguage()
{
    return g_current;
}

} // namespace tinkla
