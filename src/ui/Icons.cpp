#include "ui/Icons.h"

#include <QColor>

// The resources are compiled into a static library: nothing would pull them into a program
// unless something asks for them by name.
static void InitResources()
{
    Q_INIT_RESOURCE(tinkla);
}

namespace tinkla
{

void LoadResources()
{
    static const bool once = (InitResources(), true);
    (void)once;
}

namespace
{

const struct {
    char key;
    QRgb rgb;
} kPalette[] = {
    {'k', qRgb(0, 0, 0)},      {'w', qRgb(255, 255, 255)}, {'g', qRgb(128, 128, 128)},
    {'y', qRgb(255, 214, 64)}, {'o', qRgb(192, 140, 0)},   {'b', qRgb(0, 64, 160)},
    {'G', qRgb(0, 140, 40)},   {'L', qRgb(80, 200, 90)},   {'r', qRgb(200, 16, 16)},
};

// One character a pixel: '.' transparent, the rest from kPalette.
const char* const kPictures[TB_COUNT][kToolbarPictureHeight] = {
    // new set: a blank page
    {
        "................",
        "..kkkkkkkk......",
        "..kwwwwwwkk.....",
        "..kwwwwwwkwk....",
        "..kwwwwwwkkkk...",
        "..kwwwwwwwwwk...",
        "..kwwwwwwwwwk...",
        "..kwwwwwwwwwk...",
        "..kwwwwwwwwwk...",
        "..kwwwwwwwwwk...",
        "..kwwwwwwwwwk...",
        "..kwwwwwwwwwk...",
        "..kwwwwwwwwwk...",
        "..kkkkkkkkkkk...",
        "................",
    },
    // open set: a folder
    {
        "................",
        "................",
        "................",
        ".kkkk...........",
        "kyyyyk..........",
        "kyyyyykkkkkkk...",
        "kyyyyyyyyyyyk...",
        "kyyykkkkkkkkkkkk",
        "kyykoyyyyyyyyyk.",
        "kykoyyyyyyyyyk..",
        "kkoyyyyyyyyyk...",
        "kkyyyyyyyyyk....",
        "kkkkkkkkkkk.....",
        "................",
        "................",
    },
    // save set: a disk
    {
        "................",
        "kkkkkkkkkkkkkkk.",
        "kbkwwwwwwwwwkbk.",
        "kbkwwwwwwwwwkbk.",
        "kbkwwwwwwwwwkbk.",
        "kbkwwwwwwwwwkbk.",
        "kbbkkkkkkkkkbbk.",
        "kbbbbbbbbbbbbbk.",
        "kbbbbbbbbbbbbbk.",
        "kbbkkkkkkkkkbbk.",
        "kbbkggkwwwwkbbk.",
        "kbbkggkwwwwkbbk.",
        "kbbkggkwwwwkbbk.",
        ".kkkkkkkkkkkkkk.",
        "................",
    },
    // previous melody: left arrow
    {
        "................",
        "................",
        "................",
        "......k.........",
        ".....kk.........",
        "....kGk.........",
        "...kGGkkkkkkkk..",
        "..kGLLLLLLLLGk..",
        "...kGGkkkkkkkk..",
        "....kGk.........",
        ".....kk.........",
        "......k.........",
        "................",
        "................",
        "................",
    },
    // next melody: right arrow
    {
        "................",
        "................",
        "................",
        ".........k......",
        ".........kk.....",
        ".........kGk....",
        "..kkkkkkkkGGk...",
        "..kGLLLLLLLLGk..",
        "..kkkkkkkkGGk...",
        ".........kGk....",
        ".........kk.....",
        ".........k......",
        "................",
        "................",
        "................",
    },
    // insert note: note and plus
    {
        "................",
        "......k.........",
        "......k.........",
        "......k....GG...",
        "......k....GG...",
        "......k..GGGGGG.",
        "......k..GGGGGG.",
        "......k....GG...",
        "......k....GG...",
        "...kkkk.........",
        "..kkkkk.........",
        ".kkkkkk.........",
        ".kkkkk..........",
        "..kkk...........",
        "................",
    },
    // delete note: note crossed out
    {
        "................",
        "......k.........",
        "......k.........",
        "......k.rr...rr.",
        "......k..rr.rr..",
        "......k...rrr...",
        "......k..rr.rr..",
        "......k.rr...rr.",
        "......k.........",
        "...kkkk.........",
        "..kkkkk.........",
        ".kkkkkk.........",
        ".kkkkk..........",
        "..kkk...........",
        "................",
    },
    // next note: note, then a pointer to the right
    {
        "................",
        "......k.........",
        "......k.........",
        "......k.........",
        "......k.........",
        "......k...b.....",
        "......k...bb....",
        "......k...bbb...",
        "......k...bbbb..",
        "...kkkk...bbb...",
        "..kkkkk...bb....",
        ".kkkkkk...b.....",
        ".kkkkk..........",
        "..kkk...........",
        "................",
    },
    // previous note: a pointer to the left, then a note
    {
        "................",
        "..............k.",
        "..............k.",
        "..............k.",
        "..............k.",
        ".....b........k.",
        "....bb........k.",
        "...bbb........k.",
        "..bbbb........k.",
        "...bbb.....kkkk.",
        "....bb....kkkkk.",
        ".....b...kkkkkk.",
        ".........kkkkk..",
        "..........kkk...",
        "................",
    },
    // raise tone: note, up arrow
    {
        "................",
        "......k....b....",
        "......k...bbb...",
        "......k..bbbbb..",
        "......k.bbbbbbb.",
        "......k...bbb...",
        "......k...bbb...",
        "......k...bbb...",
        "......k...bbb...",
        "...kkkk.........",
        "..kkkkk.........",
        ".kkkkkk.........",
        ".kkkkk..........",
        "..kkk...........",
        "................",
    },
    // lower tone: note, down arrow
    {
        "................",
        "......k.........",
        "......k.........",
        "......k.........",
        "......k.........",
        "......k...bbb...",
        "......k...bbb...",
        "......k...bbb...",
        "......k...bbb...",
        "...kkkk.bbbbbbb.",
        "..kkkkk..bbbbb..",
        ".kkkkkk...bbb...",
        ".kkkkk.....b....",
        "..kkk...........",
        "................",
    },
    // lengthen: half note, arrows apart
    {
        "................",
        "......k.........",
        "......k.........",
        "......k.........",
        "......k.........",
        "......k.........",
        "......k.........",
        "......k..b...b..",
        "......k.bb...bb.",
        "...kkkkbbbbbbbbb",
        "..kk.kk.bb...bb.",
        ".kk..kk..b...b..",
        ".kk.kk..........",
        "..kkk...........",
        "................",
    },
    // shorten: eighth note, arrows together
    {
        "................",
        "......kk........",
        "......k.k.......",
        "......k..k......",
        "......k..k......",
        "......k.k.......",
        "......k.........",
        "......k.........",
        "......k.........",
        "...kkkk.b.....b.",
        "..kkkkk.bb...bb.",
        ".kkkkkk.bbb.bbb.",
        ".kkkkk..bb...bb.",
        "..kkk...b.....b.",
        "................",
    },
    // play: triangle
    {
        "................",
        "................",
        "....k...........",
        "....kk..........",
        "....kLk.........",
        "....kLLk........",
        "....kLLLk.......",
        "....kLLLLk......",
        "....kLLLGk......",
        "....kLLGk.......",
        "....kLGk........",
        "....kGk.........",
        "....kk..........",
        "....k...........",
        "................",
    },
    // context help: arrow and question mark
    {
        "k...............",
        "kk..............",
        "kwk.............",
        "kwwk.......bbb..",
        "kwwwk.....bb.bb.",
        "kwwwwk.......bb.",
        "kwwwwwk.....bb..",
        "kwwwwwwk...bb...",
        "kwwwwkkkk..bb...",
        "kwkwwk..........",
        "kk.kwwk....bb...",
        "k..kwwk....bb...",
        "....kwwk........",
        "....kwwk........",
        ".....kk.........",
    },
    // about: question mark
    {
        "................",
        ".....bbbbbb.....",
        "....bb....bb....",
        "...bb......bb...",
        "...bb......bb...",
        "...........bb...",
        "..........bb....",
        ".........bb.....",
        "........bb......",
        ".......bb.......",
        ".......bb.......",
        "................",
        ".......bb.......",
        ".......bb.......",
        "................",
    },
};

// Freedesktop icon names for the commands every desktop theme draws; the note commands are this
// program's own and keep their pictures everywhere.
const char* const kThemeNames[TB_COUNT] = {
    "document-new",    "document-open",
    "document-save",   "go-previous",
    "go-next",         nullptr,
    nullptr,           nullptr,
    nullptr,           nullptr,
    nullptr,           nullptr,
    nullptr,           "media-playback-start",
    "help-contextual", "help-about",
};

} // namespace

QImage ToolbarImage(int index)
{
    QImage image(kToolbarPictureWidth, kToolbarPictureHeight, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    if (index < 0 || index >= TB_COUNT)
        return image;
    for (int y = 0; y < kToolbarPictureHeight; ++y)
        for (int x = 0; x < kToolbarPictureWidth; ++x)
            for (const auto& entry : kPalette)
                if (entry.key == kPictures[index][y][x])
                    image.setPixel(x, y, entry.rgb);
    return image;
}

QIcon ToolbarIcon(int index)
{
    QIcon own(QPixmap::fromImage(ToolbarImage(index)));
    if (index >= 0 && index < TB_COUNT && kThemeNames[index])
        return QIcon::fromTheme(QString::fromLatin1(kThemeNames[index]), own);
    return own;
}

// The sizes rendered from the SVG sources in res/icons.
static QIcon IconSizes(const QString& name)
{
    LoadResources();
    QIcon icon;
    for (int size : {16, 22, 24, 32, 48, 64, 128, 256})
        icon.addFile(QStringLiteral(":/icons/%1-%2.png").arg(name).arg(size), QSize(size, size));
    return icon;
}

QIcon ApplicationIcon()
{
    return IconSizes(QStringLiteral("tinkla"));
}

} // namespace tinkla
