# Installs the build tree into an empty DESTDIR, as a package build does, and checks what a user
# needs is there: the programs, the menu entry and what it names, the icon sizes, the metainfo
# and the samples.
file(REMOVE_RECURSE ${DEST})
execute_process(COMMAND ${CMAKE_COMMAND} -E env DESTDIR=${DEST}
                        ${CMAKE_COMMAND} --install ${BUILD_DIR}
                RESULT_VARIABLE rc OUTPUT_QUIET)
if(NOT rc EQUAL 0)
    message(FATAL_ERROR "cmake --install failed: ${rc}")
endif()
set(root ${DEST}${PREFIX})

function(expect_file path)
    if(NOT EXISTS ${root}/${path} OR IS_DIRECTORY ${root}/${path})
        message(SEND_ERROR "missing ${PREFIX}/${path}")
    endif()
endfunction()

# Only the four programs: build helpers and test programs stay out of the user's PATH.
file(GLOB programs RELATIVE ${root}/bin ${root}/bin/*)
list(SORT programs)
if(NOT programs STREQUAL "Q47;gtfstool;hy3tool;tapetool")
    message(SEND_ERROR "bin/ holds '${programs}', expected Q47, gtfstool, hy3tool and tapetool")
endif()

set(desktop share/applications/${APP_ID}.desktop)
expect_file(${desktop})
expect_file(share/metainfo/${APP_ID}.metainfo.xml)
expect_file(share/icons/hicolor/scalable/apps/${APP_ID}.svg)

# The theme folder's size is what the desktop trusts; the picture must have it.
foreach(size IN LISTS ICON_SIZES)
    set(png share/icons/hicolor/${size}x${size}/apps/${APP_ID}.png)
    expect_file(${png})
    if(EXISTS ${root}/${png})
        file(READ ${root}/${png} header OFFSET 16 LIMIT 8 HEX)
        math(EXPR want "${size}" OUTPUT_FORMAT HEXADECIMAL)
        string(SUBSTRING "${want}" 2 -1 want)
        string(LENGTH "${want}" n)
        math(EXPR pad "8 - ${n}")
        string(REPEAT "0" ${pad} zeros)
        if(NOT header STREQUAL "${zeros}${want}${zeros}${want}")
            message(SEND_ERROR "${png} is not ${size}x${size} (IHDR ${header})")
        endif()
    endif()
endforeach()

foreach(sample data/1.hy3 data/1tp.csv data/2.hy3 data/readings.csv plugins/full.4SP
        panels/led.gif sound/chime1.wav routes/1.csv announcements/1tp.csv gtfs/stop_times.txt)
    expect_file(share/q47/${sample})
endforeach()
foreach(doc plugins.md plugin-full.png announcements.md gtfs.md)
    expect_file(share/doc/q47/${doc})
endforeach()
file(GLOB_RECURSE scripts ${root}/share/q47/*.sh)
if(scripts)
    message(SEND_ERROR "sample generators installed: ${scripts}")
endif()

# What the menu entry names must be what the install put there: the program, the icon and the
# folder it starts in (fixed at configure time, so a different prefix would miss it).
if(EXISTS ${root}/${desktop})
    file(STRINGS ${root}/${desktop} entry)
    foreach(line IN LISTS entry)
        if(line MATCHES "^Exec=([^ ]+)")
            expect_file(bin/${CMAKE_MATCH_1})
        elseif(line MATCHES "^Icon=(.+)")
            if(NOT CMAKE_MATCH_1 STREQUAL APP_ID)
                message(SEND_ERROR "menu entry's icon ${CMAKE_MATCH_1} is not ${APP_ID}")
            endif()
        elseif(line MATCHES "^Path=(.+)")
            if(NOT EXISTS ${DEST}${CMAKE_MATCH_1}/1.hy3)
                message(SEND_ERROR "menu entry starts in ${CMAKE_MATCH_1}, which has no routes")
            endif()
        endif()
    endforeach()
endif()
