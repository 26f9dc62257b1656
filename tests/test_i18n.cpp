// The English interface: which language the locale picks, the core's texts and the command line
// under it. check_translations.py checks that every Russian text of the sources is translated.
#include "bell/BellMessages.h"
#include "document/TinklaDoc.h"
#include "model/Messages.h"
#include "model/Note.h"
#include "platform/Cp1251.h"
#include "platform/SafeFile.h"
#include "platform/Translations.h"
#include "support/DocTestKit.h"

#include <QRegularExpression>
#include <cerrno>
#include <gtest/gtest.h>

using namespace tinkla;
using namespace tinkla::test;

namespace
{

TEST(Translation, FirstEnglishOrRussianLocaleWinsElseRussian)
{
    const UiLanguage en = UiLanguage::English, ru = UiLanguage::Russian;
    const std::pair<QStringList, UiLanguage> cases[] = {
        {{"en_GB.UTF-8"}, en},    {{"en-US"}, en}, {{"ru_RU.UTF-8"}, ru}, {{"de_DE", "en_US"}, en},
        {{"uk", "ru", "en"}, ru}, {{"C"}, ru},     {{"POSIX"}, ru},       {{}, ru}};
    for (const auto& [languages, expected] : cases)
        EXPECT_EQ(PickUiLanguage(languages), expected) << languages.join(':').toStdString();
}

// The core's tables are looked up in the contexts they were marked in, and the note names read as
// English musicians write them (the Russian octaves are numbered 3 to 6).
TEST(Translation, CoreTablesReadInEnglish)
{
    int argc = 1;
    char name[] = "tinkla_core_tests";
    char* argv[] = {name, nullptr};
    QCoreApplication app(argc, argv);
    ASSERT_EQ(InstallUiLanguage(UiLanguage::English), UiLanguage::English);
    const std::pair<QString, const char*> cases[] = {
        {ToneName(0), "G#3"},
        {ToneName(4), "C4"},
        {ToneName(15), "B4"},
        {ToneName(16), "C5"},
        {ToneName(31), "D#6"},
        {PitchName(13), "A"},
        {DurationName(3), "Eighth"},
        {SetFormatLabel(kDefaultFormat), "8 mel. x 31 notes"},
        {MessageText(kMsgDeleteNote), "Delete the note?"},
        {MessageText(kMsgBellLink), "The doorbell is not connected, or its interface is faulty."},
        {CTinklaDoc::tr(kEditTone), "Change pitch"},
        {Cp1251ToUnicode(DefaultMelodyTitle()), "New melody"},
        {SystemErrorText(ENOENT, false), "no such file"}};
    for (const auto& [got, english] : cases)
        EXPECT_EQ(got, QString::fromUtf8(english));
    InstallUiLanguage(UiLanguage::Russian);
    EXPECT_EQ(ToneName(4), QStringLiteral("До, Первая октава"));
}

// The command line speaks the locale's language too: an English locale gets the translation, any
// other the original.
TEST(Translation, CommandLineFollowsTheLocale)
{
    TempFiles files;
    const QString missing = files.Path("none.fml");
    for (const char* language : {"en_US", "de_DE:ru_RU", "C"}) {
        qputenv("LANGUAGE", language);
        const CliResult r = RunCli({QStringLiteral("info"), missing});
        EXPECT_EQ(r.code, 1) << language;
        const bool english = std::string(language) == "en_US";
        EXPECT_EQ(r.err.contains(QRegularExpression(QStringLiteral("[А-я]"))), !english)
            << language << ": " << r.err.toStdString();
        EXPECT_TRUE(r.err.contains(missing)) << language << ": " << r.err.toStdString();
    }
    qputenv("LANGUAGE", "ru");
}

} // namespace
