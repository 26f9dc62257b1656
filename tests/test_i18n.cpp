// The English interface: which language the locale picks, that no Russian text in the sources
// escapes translation, and that the English catalogues translate every text they hold.
#include "bell/BellMessages.h"
#include "document/TinklaDoc.h"
#include "model/Messages.h"
#include "model/Note.h"
#include "platform/Cp1251.h"
#include "platform/SafeFile.h"
#include "platform/Translations.h"
#include "support/DocTestKit.h"

#include <QDirIterator>
#include <QFile>
#include <QMap>
#include <QRegularExpression>
#include <QXmlStreamReader>
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

// --- the sources ---------------------------------------------------------------------------------

struct Literal {
    QString file;
    int line;
    QString text;   // adjacent literals joined, escapes of the sources left as written
    QString caller; // the call the literal is an argument of: "tr", "translate", ... or empty
};

bool IsIdentChar(QChar c)
{
    return c.isLetterOrNumber() || c == u'_';
}

// The C++ string literals of a source, comments left out, with the function each stands in.
QList<Literal> Literals(const QString& file, const QString& src)
{
    QList<Literal> out;
    int line = 1;
    int i = 0;
    const int n = src.size();
    int lastEnd = -1; // where the previous literal ended, to join "a" "b"
    // The call a literal at pos is an argument of, after a context argument ("Ctx", ) if any.
    auto callerBefore = [&](int pos) {
        static const QRegularExpression call(
            QStringLiteral("(\\w+)\\s*\\(\\s*(?:\"[^\"]*\"\\s*,\\s*)?$"));
        const int from = std::max(0, pos - 300);
        const QRegularExpressionMatch m = call.match(src.mid(from, pos - from));
        return m.hasMatch() ? m.captured(1) : QString();
    };
    while (i < n) {
        const QChar c = src[i];
        if (c == u'\n') {
            ++line;
            ++i;
        } else if (src.mid(i, 2) == QLatin1String("//")) {
            while (i < n && src[i] != u'\n')
                ++i;
        } else if (src.mid(i, 2) == QLatin1String("/*")) {
            const int end = src.indexOf(QLatin1String("*/"), i + 2);
            const int stop = end < 0 ? n : end + 2;
            line += src.mid(i, stop - i).count(u'\n');
            i = stop;
        } else if (c == u'\'') {
            ++i;
            while (i < n && src[i] != u'\'') {
                if (src[i] == u'\\')
                    ++i;
                ++i;
            }
            ++i;
        } else if (c == u'"' && !(i > 0 && IsIdentChar(src[i - 1]) && src[i - 1] != u'u' &&
                                  src[i - 1] != u'L')) {
            const int start = i++;
            QString text;
            while (i < n && src[i] != u'"') {
                if (src[i] == u'\\')
                    text += src[i++];
                text += src[i++];
            }
            ++i;
            bool joined = false;
            if (lastEnd >= 0 && !out.isEmpty()) {
                const QString between = src.mid(lastEnd, start - lastEnd);
                joined = between.trimmed().isEmpty() && !between.contains(u';');
            }
            if (joined) {
                out.last().text += text;
            } else {
                out.append({file, line, text, callerBefore(start)});
            }
            lastEnd = i;
        } else if (c == u'R' && src.mid(i, 2) == QLatin1String("R\"")) {
            const int open = src.indexOf(u'(', i);
            const QString delim = u')' + src.mid(i + 2, open - i - 2) + u'"';
            const int end = src.indexOf(delim, open);
            const int stop = end < 0 ? n : end + delim.size();
            out.append({file, line, src.mid(open + 1, end - open - 1), callerBefore(i)});
            line += src.mid(i, stop - i).count(u'\n');
            i = stop;
            lastEnd = i;
        } else {
            ++i;
        }
    }
    return out;
}

bool HasCyrillic(const QString& text)
{
    static const QRegularExpression cyrillic(QStringLiteral("[\\x{0400}-\\x{04FF}]"));
    return text.contains(cyrillic);
}

// The sources' escapes as lupdate reads them.
QString Unescape(const QString& text)
{
    QString out;
    for (int i = 0; i < text.size(); ++i) {
        if (text[i] != u'\\' || i + 1 == text.size()) {
            out += text[i];
            continue;
        }
        const QChar e = text[++i];
        out += e == u'n' ? QChar(u'\n') : e == u't' ? QChar(u'\t') : e;
    }
    return out;
}

struct CatalogueEntry {
    QString context;
    QString translation;
    bool finished = false;
};

// Every message of the English catalogues, by source text.
QMultiMap<QString, CatalogueEntry> Catalogues()
{
    QMultiMap<QString, CatalogueEntry> entries;
    for (const char* name : {"tinkla_core_en.ts", "tinkla_ui_en.ts"}) {
        QFile file(QStringLiteral(TINKLA_SOURCE_DIR "/res/i18n/") + QLatin1String(name));
        EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << name;
        QXmlStreamReader xml(&file);
        QString context, source;
        while (!xml.atEnd()) {
            // readNext, not readNextStartElement: that one reads past the document's end and
            // reports the end as premature.
            if (xml.readNext() != QXmlStreamReader::StartElement)
                continue;
            if (xml.name() == QLatin1String("name")) {
                context = xml.readElementText();
            } else if (xml.name() == QLatin1String("source")) {
                source = xml.readElementText();
            } else if (xml.name() == QLatin1String("translation")) {
                const bool finished = xml.attributes().value(QLatin1String("type")).isEmpty();
                const QString translation = xml.readElementText();
                entries.insert(source, {context, translation, finished && !translation.isEmpty()});
            }
        }
        EXPECT_FALSE(xml.hasError()) << name << ": " << xml.errorString().toStdString();
    }
    return entries;
}

const QStringList kTranslationCalls = {QStringLiteral("tr"), QStringLiteral("translate"),
                                       QStringLiteral("QT_TR_NOOP"),
                                       QStringLiteral("QT_TRANSLATE_NOOP")};

TEST(Translation, EveryRussianLiteralInTheSourcesIsTranslatedToEnglish)
{
    const QMultiMap<QString, CatalogueEntry> catalogue = Catalogues();
    int russian = 0;
    QDirIterator it(QStringLiteral(TINKLA_SOURCE_DIR "/src"), {"*.cpp", "*.h"}, QDir::Files,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
        const QString where = path.mid(path.indexOf(QLatin1String("/src/")) + 1);
        for (const Literal& literal : Literals(where, QString::fromUtf8(file.readAll()))) {
            if (!HasCyrillic(literal.text))
                continue;
            ++russian;
            const std::string at = QStringLiteral("%1:%2: \"%3\"")
                                       .arg(literal.file)
                                       .arg(literal.line)
                                       .arg(literal.text.left(60))
                                       .toStdString();
            EXPECT_TRUE(kTranslationCalls.contains(literal.caller))
                << at << " is shown untranslated (inside \"" << literal.caller.toStdString()
                << "\" instead of tr, translate or QT_TRANSLATE_NOOP)";
            const auto entry = catalogue.constFind(Unescape(literal.text));
            if (entry == catalogue.cend())
                ADD_FAILURE() << at << " is missing from the English catalogue "
                              << "(cmake --build build --target update_translations)";
            else
                EXPECT_TRUE(entry->finished) << at << " has no finished English translation";
        }
    }
    EXPECT_GT(russian, 100) << "the sources were not found or not read";
}

// The numbered arguments of a text: "%1 из %2" -> {1, 2}.
QList<int> Placeholders(const QString& text)
{
    static const QRegularExpression number(QStringLiteral("%(\\d)"));
    QList<int> found;
    for (const auto& m : number.globalMatch(text))
        found << m.captured(1).toInt();
    std::sort(found.begin(), found.end());
    return found;
}

bool HasAccelerator(const QString& text)
{
    return QString(text).remove(QLatin1String("&&")).contains(u'&');
}

TEST(Translation, EnglishCataloguesAreFinishedAndKeepArgumentsAndAccelerators)
{
    const QMultiMap<QString, CatalogueEntry> catalogue = Catalogues();
    EXPECT_FALSE(catalogue.isEmpty());
    for (auto it = catalogue.cbegin(); it != catalogue.cend(); ++it) {
        const std::string at = (it->context + QStringLiteral(": ") + it.key()).toStdString();
        EXPECT_TRUE(it->finished) << at << " is not translated";
        if (!it->finished)
            continue;
        EXPECT_FALSE(HasCyrillic(it->translation)) << at << " -> " << it->translation.toStdString();
        EXPECT_EQ(Placeholders(it->translation), Placeholders(it.key()))
            << at << " -> " << it->translation.toStdString();
        EXPECT_EQ(HasAccelerator(it->translation), HasAccelerator(it.key()))
            << at << " -> " << it->translation.toStdString();
    }
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
        EXPECT_EQ(HasCyrillic(r.err), !english) << language << ": " << r.err.toStdString();
        EXPECT_TRUE(r.err.contains(missing)) << language << ": " << r.err.toStdString();
    }
    qputenv("LANGUAGE", "ru");
}

} // namespace
