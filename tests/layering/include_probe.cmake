# Compiles `#include "<header>"` with the include roots of a layer and checks
# the outcome: a header of the same or a lower layer is found, one of a higher
# layer is not. Run by CTest with COMPILER, WORK and <layer>_INCLUDES set.
set(rows
  # layer       header                     outcome
  "symbology    symbology/code39.h         found"
  "symbology    drawing/surface.h          missing"
  "symbology    system/small_file.h        missing"
  "system       symbology/outcome.h        found"
  "system       sheet/sheet.h              missing"
  "drawing      symbology/code39.h         found"
  "drawing      sheet/sheet.h              missing"
  "sheet        drawing/label.h            found"
  "sheet        system/small_file.h        found"
  "sheet        print/print_service.h      missing"
  "sheet        settings/settings.h        missing"
  "print        sheet/sheet.h              found"
  "print        settings/settings.h        missing"
  "print        ui/form1.h                 missing"
  "settings     sheet/sheet_layouts.h      found"
  "settings     print/print_service.h      missing"
  "ui           print/print_service.h      found"
  "ui           settings/settings.h        found"
  "command_line print/print_requests.h     found"
  "command_line ui/form1.h                 missing"
)
file(MAKE_DIRECTORY ${WORK})
set(failures 0)
foreach(row IN LISTS rows)
  string(REGEX REPLACE " +" ";" fields "${row}")
  list(GET fields 0 layer)
  list(GET fields 1 header)
  list(GET fields 2 expected)
  set(flags)
  foreach(folder IN LISTS ${layer}_INCLUDES)
    list(APPEND flags -I${folder})
  endforeach()
  file(WRITE ${WORK}/probe.cpp "#include \"${header}\"\n")
  execute_process(COMMAND ${COMPILER} -std=c++20 -fsyntax-only ${flags} ${WORK}/probe.cpp
                  RESULT_VARIABLE status ERROR_VARIABLE errors)
  if(status EQUAL 0)
    set(outcome found)
  elseif(errors MATCHES "${header}: No such file or directory")
    set(outcome missing)
  else()
    set(outcome "broken: ${errors}")
  endif()
  if(outcome STREQUAL expected)
    message(STATUS "${layer} includes ${header}: ${outcome}, as it must")
  else()
    message(SEND_ERROR "${layer} includes ${header}: ${outcome}, expected ${expected}")
    math(EXPR failures "${failures} + 1")
  endif()
endforeach()
if(failures GREATER 0)
  message(FATAL_ERROR "${failures} include rows broke the layering")
endif()
