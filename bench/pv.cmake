tarvex_add_bench(pv_bench
  SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/PerfCDBBench.cpp
  LIBS tarvex_pv tarvex_statespace tarvex_solver tarvex_runctl tarvex_report)
