tarvex_add_bench(solver_bench
  SOURCES SolverSweepBench.cpp
  LIBS tarvex_solver tarvex_statespace tarvex_pv tarvex_report tarvex_runctl)
