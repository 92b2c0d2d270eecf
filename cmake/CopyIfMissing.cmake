# cmake -DSOURCE=<file> -DTARGET=<file> -P CopyIfMissing.cmake
if(NOT EXISTS "${TARGET}")
  get_filename_component(_dir "${TARGET}" DIRECTORY)
  file(MAKE_DIRECTORY "${_dir}")
  file(COPY_FILE "${SOURCE}" "${TARGET}")
endif()
