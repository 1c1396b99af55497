# Installs the build tree into a fresh prefix and checks the layout: the
# programs in bin/ (and nothing else there), the shared libraries in
# lib/crateward/ (private to the programs),
# the data in share/crateward/, the desktop entry and icon; then runs the
# installed tools on the demo archive, so their RPATH and data lookup are
# the install tree's own.
cmake_minimum_required(VERSION 3.25)
# -DBUILD_DIR= -DPREFIX= -DDEMO_ARCHIVE= -DPROGRAMS=a;b -DLIBRARIES=a;b
foreach(var BUILD_DIR PREFIX DEMO_ARCHIVE PROGRAMS LIBRARIES)
    if(NOT DEFINED ${var})
        message(FATAL_ERROR "check_install: ${var} is not set")
    endif()
endforeach()

function(fail)
    message(FATAL_ERROR "check_install: ${ARGN}")
endfunction()

function(run out)
    execute_process(COMMAND ${ARGN} RESULT_VARIABLE rc OUTPUT_VARIABLE stdout
                    ERROR_VARIABLE stderr)
    if(NOT rc EQUAL 0)
        list(JOIN ARGN " " command)
        fail("${command} exited with ${rc}: ${stderr}")
    endif()
    set(${out} "${stdout}" PARENT_SCOPE)
endfunction()

file(REMOVE_RECURSE ${PREFIX})
run(ignored ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${PREFIX})

# bin/ holds exactly the programs and tools.
file(GLOB installed RELATIVE ${PREFIX}/bin ${PREFIX}/bin/*)
list(SORT installed)
set(expected ${PROGRAMS})
list(SORT expected)
if(NOT installed STREQUAL expected)
    fail("bin/ holds '${installed}', expected '${expected}'")
endif()
foreach(program ${PROGRAMS})
    file(READ ${PREFIX}/bin/${program} magic LIMIT 4 HEX)
    if(NOT magic STREQUAL "7f454c46")
        fail("bin/${program} is not a program")
    endif()
endforeach()
foreach(library ${LIBRARIES})
    if(NOT EXISTS ${PREFIX}/${library})
        fail("${library} is missing")
    endif()
endforeach()

set(share_files
    crateward/palette.dat crateward/armCRWDunit.fbi crateward/corCRWDunit.fbi
    crateward/crateward.png applications/crateward.desktop
    icons/hicolor/64x64/apps/crateward.png mime/packages/crateward-hpi.xml)
foreach(file ${share_files})
    if(NOT EXISTS ${PREFIX}/share/${file})
        fail("share/${file} is missing")
    endif()
endforeach()
file(READ ${PREFIX}/share/applications/crateward.desktop desktop)
foreach(line "Name=Crateward" "Exec=crateward %f" "Icon=crateward"
             "MimeType=application/x-hpi-archive;")
    string(FIND "${desktop}" "\n${line}\n" at)
    if(at LESS 0)
        fail("the desktop entry lacks ${line}")
    endif()
endforeach()

# The installed programs look for their libraries beside them, not in the build tree.
find_program(READELF readelf)
if(READELF)
    run(dynamic ${READELF} -d ${PREFIX}/bin/hpi)
    if(NOT dynamic MATCHES "R(UN)?PATH[^\n]*\\[\\$ORIGIN/\\.\\./lib/crateward\\]")
        fail("bin/hpi does not look in \$ORIGIN/../lib/crateward: ${dynamic}")
    endif()
    if(dynamic MATCHES "${BUILD_DIR}")
        fail("bin/hpi still names the build tree: ${dynamic}")
    endif()
endif()

# The installed tools at work on the demo archive.
set(work ${PREFIX}/work)
run(info ${PREFIX}/bin/hpi info ${DEMO_ARCHIVE})
run(listing ${PREFIX}/bin/hpi list ${DEMO_ARCHIVE})
string(FIND "${listing}" "units\\armdemo.fbi" at)
if(at LESS 0)
    fail("hpi list does not show units\\armdemo.fbi: ${listing}")
endif()
run(ignored ${PREFIX}/bin/hpi extract ${DEMO_ARCHIVE} -C ${work} "anims\\armdemo_gadget.gaf"
    "objects3d\\armdemo.3do")
run(sprites ${PREFIX}/bin/gaf info ${work}/anims/armdemo_gadget.gaf)
string(FIND "${sprites}" "armdemo_beacon" at)
if(at LESS 0)
    fail("gaf info does not show the beacon: ${sprites}")
endif()
# Exporting needs the game palette, found in share/crateward.
run(ignored ${PREFIX}/bin/gaf export ${work}/anims/armdemo_gadget.gaf ${work}/frames)
file(GLOB frames ${work}/frames/*.bmp)
list(LENGTH frames count)
if(NOT count EQUAL 7)
    fail("gaf export wrote ${count} pictures, expected 7")
endif()
if("3do" IN_LIST PROGRAMS)
    run(model ${PREFIX}/bin/3do info ${work}/objects3d/armdemo.3do)
    string(FIND "${model}" "\"turret\"" at)
    if(at LESS 0)
        fail("3do info does not show the turret: ${model}")
    endif()
endif()
file(REMOVE_RECURSE ${PREFIX})
