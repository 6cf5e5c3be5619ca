# The installer's application layer: command line, application object and
# control window. Kept apart from setup_core because it sits on top of the
# engine (the control window owns the command interpreter).
add_library(setup_app STATIC
  command_line.cpp
  control_win.cpp
  qxinst_app.cpp
)
target_include_directories(setup_app PUBLIC ${PROJECT_SOURCE_DIR})
target_link_libraries(setup_app PUBLIC setup_pages setup_commands setup_engine setup_core framework scriptlib)
