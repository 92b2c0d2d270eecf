# The wine sheet: its print and preview windows over the report engine.
target_sources(vinarca_wines PRIVATE
  SchedaVinoWindow.h SchedaVinoWindow.cpp
  StampaVini.h StampaVini.cpp
  AnteprimaVini.h AnteprimaVini.cpp)
target_link_libraries(vinarca_wines PUBLIC vinarca_report)
