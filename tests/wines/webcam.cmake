vinarca_test(tst_webcam wines/tst_webcam.cpp)
