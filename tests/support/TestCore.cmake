# The GoogleTest-free core of the test helpers, used by the tests and the
# benchmark: child processes, bounded waits, windows of other processes, the
# clipboard, the bridge's settings key, the stand-in control's channel and
# the stand-in receivers. Included by both, so it is defined once.
include_guard(GLOBAL)
set(test_core_dir ${CMAKE_CURRENT_LIST_DIR})
add_library(denoptix_test_core STATIC
  ${test_core_dir}/BridgeHarness.cpp
  ${test_core_dir}/BridgeSettings.cpp
  ${test_core_dir}/ChildProcess.cpp
  ${test_core_dir}/Clipboard.cpp
  ${test_core_dir}/Files.cpp
  ${test_core_dir}/ReceiverLog.cpp
  ${test_core_dir}/ReceiverWindowThread.cpp
  ${test_core_dir}/StandInControl.cpp
  ${test_core_dir}/Waiting.cpp
  ${test_core_dir}/WindowSearch.cpp
  ${PROJECT_SOURCE_DIR}/tools/receivers/ByteEscape.cpp)
target_include_directories(denoptix_test_core PUBLIC
  ${test_core_dir} ${PROJECT_SOURCE_DIR}/src ${PROJECT_SOURCE_DIR}/tools)
target_link_libraries(denoptix_test_core PUBLIC denoptix_build_options user32 advapi32)
