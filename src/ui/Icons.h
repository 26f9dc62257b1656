#pragma once
// The editor's pictures: the application and document icons (res/icons) and the sixteen toolbar
// pictures, 16 × 15 pixels each, drawn here as pixel maps.
#include <QIcon>
#include <QImage>

namespace tinkla
{

// Toolbar pictures in button order (separators not counted).
enum ToolbarPicture : int {
    TB_NEW,
    TB_OPEN,
    TB_SAVE,
    TB_MELODY_PREV,
    TB_MELODY_NEXT,
    TB_NOTE_INSERT,
    TB_NOTE_DELETE,
    TB_NOTE_NEXT,
    TB_NOTE_PREV,
    TB_TONE_UP,
    TB_TONE_DOWN,
    TB_DURATION_UP,
    TB_DURATION_DOWN,
    TB_PLAY,
    TB_CONTEXT_HELP,
    TB_ABOUT,
    TB_COUNT
};
constexpr int kToolbarPictureWidth = 16;
constexpr int kToolbarPictureHeight = 15;

// Our own picture, transparent where nothing is drawn.
QImage ToolbarImage(int index);
// The desktop theme's icon where the theme has one for the command, else our own picture.
QIcon ToolbarIcon(int index);

// Makes the icons and the help pages (res/tinkla.qrc) available under ":/"; idempotent.
void LoadResources();

QIcon ApplicationIcon();

} // namespace tinkla
