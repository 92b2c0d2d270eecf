# The wine sheet written to PDF with a camera photo, against decoding the photo.
qt_add_executable(bench_sheet report/bench_sheet.cpp)
target_link_libraries(bench_sheet PRIVATE vinarca_core)
