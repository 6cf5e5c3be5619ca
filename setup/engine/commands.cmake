# The command interpreter and the install items.
add_library(setup_commands STATIC
  ${CMAKE_CURRENT_LIST_DIR}/command_rules.cpp
  ${CMAKE_CURRENT_LIST_DIR}/item_rules.cpp
  ${CMAKE_CURRENT_LIST_DIR}/section_reader.cpp
  ${CMAKE_CURRENT_LIST_DIR}/my_items.cpp
  ${CMAKE_CURRENT_LIST_DIR}/my_items_records.cpp
  ${CMAKE_CURRENT_LIST_DIR}/cmd_operator.cpp
  ${CMAKE_CURRENT_LIST_DIR}/cmd_pages.cpp
  ${CMAKE_CURRENT_LIST_DIR}/cmd_shell.cpp
  ${CMAKE_CURRENT_LIST_DIR}/cmd_sections.cpp
  ${CMAKE_CURRENT_LIST_DIR}/cmd_install.cpp
  ${CMAKE_CURRENT_LIST_DIR}/cmd_remote.cpp
  ${CMAKE_CURRENT_LIST_DIR}/worker_thread.cpp
)
target_include_directories(setup_commands PUBLIC ${PROJECT_SOURCE_DIR})
target_link_libraries(setup_commands PUBLIC setup_engine setup_core framework scriptlib
  shell32 ole32 winspool advapi32 user32 kernel32)
