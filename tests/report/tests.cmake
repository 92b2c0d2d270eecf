# The report engine and the wine sheet.
vinarca_test(tst_reportmodel report/tst_reportmodel.cpp report/ReportTestSupport.h)
qt_add_resources(tst_reportmodel reporttest_model PREFIX /reporttest BASE report FILES report/riepilogo.json)
vinarca_test(tst_reportoutput report/tst_reportoutput.cpp report/ReportTestSupport.h)
qt_add_resources(tst_reportoutput reporttest_output PREFIX /reporttest BASE report FILES report/riepilogo.json)
vinarca_test(tst_schedavino report/tst_schedavino.cpp report/ReportTestSupport.h)
# Prints through a real spooler when scripts/print-spooler.sh has started one
# and VINARCA_PRINT_QUEUE / VINARCA_PRINT_OUT reach ctest's environment.
vinarca_test(tst_printspooler report/tst_printspooler.cpp report/ReportTestSupport.h)
