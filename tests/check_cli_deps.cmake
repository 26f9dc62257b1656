# Fails when tinkla-cli loads Qt Widgets: the command line draws its pictures with QtGui alone.
execute_process(COMMAND ldd ${TARGET_FILE} OUTPUT_VARIABLE libs RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
    message(FATAL_ERROR "ldd ${TARGET_FILE} failed")
endif()
if(libs MATCHES "Qt6Widgets")
    message(FATAL_ERROR "tinkla-cli loads Qt Widgets:\n${libs}")
endif()
message(STATUS "tinkla-cli loads no Qt Widgets")
