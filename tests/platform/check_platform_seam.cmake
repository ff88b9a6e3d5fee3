# Fails when code outside platform/ uses a class that only the platform may use.
file(GLOB_RECURSE sources ${ROOT}/app/* ${ROOT}/store/* ${ROOT}/print/* ${ROOT}/admin/*
     ${ROOT}/cash/* ${ROOT}/envelope/* ${ROOT}/companions/*
     ${ROOT}/contact_import/*)
set(offenders "")
foreach(source IN LISTS sources)
  file(READ ${source} text)
  if(text MATCHES "(QMessageBox|QInputDialog|QFileDialog|QPrintDialog|QPrintPreviewDialog|QProgressDialog|QProcess|QDesktopServices)")
    list(APPEND offenders "${source}: ${CMAKE_MATCH_1}")
  endif()
endforeach()
if(offenders)
  message(FATAL_ERROR "Outside the platform layer:\n${offenders}")
endif()
