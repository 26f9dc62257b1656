#pragma once
// The editor's command identifiers. Each names one QAction of the main window; the numbers are
// kept so that help topics and logs can refer to a command the same way everywhere.

namespace tinkla
{

enum CommandId : int {
    ID_BELL_READ = 32773,
    ID_BELL_WRITE = 32774,
    ID_BELL_TEST = 32775,
    ID_NOTE_INSERT = 32776,
    ID_NOTE_DELETE = 32777,
    ID_MELODY_SAVE = 32779,
    ID_MELODY_LOAD = 32780,
    ID_NOTE_NEXT = 32783,
    ID_NOTE_PREV = 32784,
    ID_TONE_UP = 32785,
    ID_TONE_DOWN = 32786,
    ID_DURATION_UP = 32787,
    ID_DURATION_DOWN = 32788,
    ID_MELODY_TITLE = 32789,
    ID_MELODY_PLAY = 32794,
    ID_NOTE_DELETE_LAST = 32797,
    ID_MELODY_NEXT = 32799,
    ID_MELODY_PREV = 32800,
    ID_BELL_PORT = 32801,     // the parallel-port choice; not one of the original doorbell commands
    ID_MELODY_IMPORT = 32802, // RTTTL and MIDI in and out, and transposition
    ID_MELODY_EXPORT = 32803,
    ID_MELODY_TRANSPOSE = 32804,
    ID_OCTAVE_UP = 32805, // the octave step and the zoom of the staff
    ID_OCTAVE_DOWN = 32806,
    ID_VIEW_ZOOM_IN = 32807,
    ID_VIEW_ZOOM_OUT = 32808,
    ID_VIEW_ZOOM_NORMAL = 32809,
    ID_SOUND_OUTPUT = 32810, // where the speaker's tone goes
    ID_FILE_NEW = 57600,
    ID_FILE_OPEN = 57601,
    ID_FILE_SAVE = 57603,
    ID_FILE_SAVE_AS = 57604,
    ID_FILE_MRU_FILE1 = 57616, // .. 57619 for the four recent sets
    ID_EDIT_UNDO = 57643,
    ID_EDIT_REDO = 57644,
    ID_APP_ABOUT = 57664,
    ID_APP_EXIT = 57665,
    ID_HELP_FINDER = 57667,
    ID_CONTEXT_HELP = 57669,
    ID_HELP = 57670,
    ID_VIEW_TOOLBAR = 59392,
    ID_VIEW_STATUS_BAR = 59393,
};

} // namespace tinkla
