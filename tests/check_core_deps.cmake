# Fails when the core library refers to a QtGui or QtWidgets symbol.
execute_process(COMMAND nm -C --undefined-only ${TARGET_FILE} OUTPUT_VARIABLE syms)
string(REGEX MATCHALL "Q(Widget|Painter|Image|Pixmap|GuiApplication|Application|Color|Font)::[A-Za-z]+" bad "${syms}")
if(bad)
    message(FATAL_ERROR "tinkla_core uses GUI symbols: ${bad}")
endif()
message(STATUS "tinkla_core links Qt6::Core only")
