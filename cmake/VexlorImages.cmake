# vexlor_add_images(): C source of display images, made from pictures at
# build time by vexlor-cli and compiled into a target.
#
#   vexlor_add_images(TARGET firmware NAME logo DISPLAY ssd1306
#                     PICTURES logo.png [more.png ...]
#                     [SIZE WxH] [ALL] [AVR] [ATTRIBUTE text] [NO_BANNER]
#                     [OPTIONS --threshold 100 --dither atkinson ...])
#
# Writes NAME.c and NAME.h into the build tree, adds them to TARGET and puts
# their folder on its include path and on that of whatever links it, so
# that the code says #include "NAME.h".
# One picture gives the table NAME; several pictures, or with ALL every
# frame of an animation, give NAME_0, NAME_1, ... and NAME_frames, with
# NAME_FRAMES; NAME_WIDTH and NAME_HEIGHT always. OPTIONS are to-bin's
# conversion options. The files are made again when a picture, an option or
# vexlor-cli changes. A project without C gets NAME.cpp instead of NAME.c.

function(vexlor_add_images)
    cmake_parse_arguments(PARSE_ARGV 0 arg "ALL;AVR;NO_BANNER"
        "TARGET;NAME;DISPLAY;SIZE;ATTRIBUTE" "PICTURES;OPTIONS")
    foreach(required TARGET NAME PICTURES)
        if(NOT arg_${required})
            message(FATAL_ERROR "vexlor_add_images: ${required} is missing")
        endif()
    endforeach()
    if(arg_UNPARSED_ARGUMENTS)
        message(FATAL_ERROR "vexlor_add_images: unknown arguments ${arg_UNPARSED_ARGUMENTS}")
    endif()

    set(layout)
    if(arg_DISPLAY)
        list(APPEND layout --display ${arg_DISPLAY})
    endif()
    if(arg_SIZE)
        list(APPEND layout --size ${arg_SIZE})
    endif()
    set(source_options --name ${arg_NAME})
    if(arg_AVR)
        list(APPEND source_options --target avr)
    endif()
    if(arg_ATTRIBUTE)
        list(APPEND source_options --attribute ${arg_ATTRIBUTE})
    endif()
    if(arg_NO_BANNER)
        list(APPEND source_options --no-banner)
    endif()

    set(pictures)
    foreach(picture IN LISTS arg_PICTURES)
        get_filename_component(picture "${picture}" ABSOLUTE BASE_DIR "${CMAKE_CURRENT_SOURCE_DIR}")
        list(APPEND pictures "${picture}")
    endforeach()

    get_property(languages GLOBAL PROPERTY ENABLED_LANGUAGES)
    set(extension c)
    if(NOT "C" IN_LIST languages)
        set(extension cpp)
    endif()
    set(dir "${CMAKE_CURRENT_BINARY_DIR}/vexlor")
    set(source "${dir}/${arg_NAME}.${extension}")
    set(header "${dir}/${arg_NAME}.h")
    # Makefiles do not notice a changed command: a file that changes with
    # the options makes the images depend on them.
    set(stamp "${dir}/${arg_NAME}.options")
    string(REPLACE ";" " " described "${pictures};${layout};${source_options};${arg_OPTIONS}")
    file(CONFIGURE OUTPUT "${stamp}" CONTENT "${described}\n")

    list(LENGTH pictures count)
    if(count EQUAL 1 AND NOT arg_ALL)
        set(input ${pictures})
        set(conversion ${arg_OPTIONS})
    else()
        # Several pictures, or every frame of one, are gathered first.
        set(input "${dir}/${arg_NAME}.bin")
        set(conversion)
        list(APPEND source_options --all)
        add_custom_command(OUTPUT "${input}"
            COMMAND Vexlor::cli to-bin ${pictures} ${layout} ${arg_OPTIONS} -o "${input}"
            DEPENDS ${pictures} "${stamp}" "$<TARGET_FILE:Vexlor::cli>"
            COMMENT "Converting the pictures of ${arg_NAME}"
            VERBATIM)
    endif()
    add_custom_command(OUTPUT "${source}" "${header}"
        COMMAND Vexlor::cli export "${input}" ${layout} ${conversion} ${source_options}
                --header "${header}" -o "${source}"
        DEPENDS ${input} "${stamp}" "$<TARGET_FILE:Vexlor::cli>"
        COMMENT "Writing ${arg_NAME}.${extension} and ${arg_NAME}.h"
        VERBATIM)
    target_sources(${arg_TARGET} PRIVATE "${source}" "${header}")
    # Public, so that what links a library of images includes its headers.
    target_include_directories(${arg_TARGET} PUBLIC "${dir}")
endfunction()
