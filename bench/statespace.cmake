tarvex_add_bench(statespace_bench
  SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/StateSpaceBench.cpp
  LIBS tarvex_statespace tarvex_runctl tarvex_report)
