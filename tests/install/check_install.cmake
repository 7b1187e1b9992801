# Installs the build in BUILD_DIR into PREFIX (emptied first) and checks that the
# programs, the manual pages and the example are where the README says, that the
# installed program starts, and that the installed example runs where it lies.
foreach(var BUILD_DIR PREFIX BINDIR MANDIR DATADIR WITH_VIEW WITH_POUR WITH_VECTOR)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "check_install.cmake needs -D${var}=...")
  endif()
endforeach()

file(REMOVE_RECURSE "${PREFIX}")
execute_process(COMMAND "${CMAKE_COMMAND}" --install "${BUILD_DIR}" --prefix "${PREFIX}"
                RESULT_VARIABLE result OUTPUT_QUIET)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "cmake --install failed: ${result}")
endif()

set(examples "${PREFIX}/${DATADIR}/orograd/examples")
set(expected
    "${BINDIR}/orograd" "${BINDIR}/make_terrain"
    "${MANDIR}/man1/orograd.1" "${MANDIR}/man1/make_terrain.1"
    "${DATADIR}/orograd/examples/example.ctl" "${DATADIR}/orograd/examples/annotated.ctl"
    "${DATADIR}/orograd/examples/olinda_dem_90m.asc" "${DATADIR}/orograd/examples/olinda_pour_points.asc"
    "${DATADIR}/orograd/examples/LICENSE-data.md" "${DATADIR}/orograd/examples/gauges.csv"
    "${DATADIR}/orograd/examples/gauges.ctl")
if(WITH_VIEW)
  list(APPEND expected "${BINDIR}/orograd-view" "${MANDIR}/man1/orograd-view.1")
endif()
if(WITH_POUR)
  list(APPEND expected "${BINDIR}/orograd-pour" "${MANDIR}/man1/orograd-pour.1")
endif()
if(WITH_VECTOR)
  list(APPEND expected "${BINDIR}/orograd-vector" "${MANDIR}/man1/orograd-vector.1")
endif()
foreach(file IN LISTS expected)
  if(NOT EXISTS "${PREFIX}/${file}")
    message(FATAL_ERROR "not installed: ${file}")
  endif()
endforeach()

# The installed program: without arguments it prints its usage and ends with 1.
execute_process(COMMAND "${PREFIX}/${BINDIR}/orograd" RESULT_VARIABLE result OUTPUT_VARIABLE output)
if(NOT result EQUAL 1 OR NOT output MATCHES "usage: orograd <control-file>")
  message(FATAL_ERROR "installed orograd without arguments: exit ${result}, output:\n${output}")
endif()

# The installed example needs nothing but its own folder and an output/ folder in it.
file(MAKE_DIRECTORY "${examples}/output")
execute_process(COMMAND "${PREFIX}/${BINDIR}/orograd" annotated.ctl WORKING_DIRECTORY "${examples}"
                RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE errors)
if(NOT result EQUAL 0 OR NOT EXISTS "${examples}/output/structure.txt")
  message(FATAL_ERROR "installed example: exit ${result}\n${errors}")
endif()
# The README's way from gauges to a GIS, with the installed programs.
if(WITH_POUR AND WITH_VECTOR)
  set(bin "${PREFIX}/${BINDIR}")
  foreach(step
      "orograd-pour;gauges.csv;output/flowaccumulation.asc;output/gauge_pour_points.asc"
      "orograd;gauges.ctl"
      "orograd-vector;basins;output/gauge_subbasins.asc;output/basins.gpkg"
      "orograd-vector;rivers;output/corrected_river_links.asc;output/corrected_flowdirection.asc;--orders;output/corrected_stream_order.asc;output/rivers.gpkg")
    list(POP_FRONT step program)
    execute_process(COMMAND "${bin}/${program}" ${step} WORKING_DIRECTORY "${examples}"
                    RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE errors)
    if(NOT result EQUAL 0)
      message(FATAL_ERROR "installed gauge example, ${program} ${step}: exit ${result}\n${output}\n${errors}")
    endif()
  endforeach()
  if(NOT output MATCHES "wrote output/rivers.gpkg: [0-9]+ river links" OR NOT EXISTS "${examples}/output/basins.gpkg")
    message(FATAL_ERROR "installed gauge example wrote no vectors:\n${output}")
  endif()
endif()
file(REMOVE_RECURSE "${PREFIX}")
