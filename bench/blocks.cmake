tarvex_add_bench(blocks_bench
  SOURCES BlockBuildBench.cpp
  LIBS tarvex_statespace tarvex_runctl tarvex_report)
