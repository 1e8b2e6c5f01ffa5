# draftel_generate(<target> DESIGN <file.des> [DEFS <dir>] [OUTPUT_BASE <name>])
#
# Generates the files of a Draftel design while <target> builds, and adds them to its sources.
#   DESIGN       the design file (relative to the current source folder)
#   DEFS         the definitions directory that holds the design's definition file (relative to
#                the current source folder); by default the definitions installed with Draftel
#   OUTPUT_BASE  the name the generated files' names begin with (relative to the current build
#                folder); by default the file-name part of the name stored in the design
# The files are regenerated when the design or its definition file changes (draftel-gen writes
# a dependency file), and the project is configured again then, since the definition file
# decides which files there are. The folders of the generated files are added to the target's
# include path, so that generated headers are found.

# The function keeps the policies of this file, whatever the calling project asks for: the
# dependency file's paths are taken as written (absolute here) with every generator.
cmake_policy(PUSH)
cmake_policy(VERSION 3.20...3.25)

function(draftel_generate target)
    cmake_parse_arguments(PARSE_ARGV 1 arg "" "DESIGN;DEFS;OUTPUT_BASE" "")
    if(arg_UNPARSED_ARGUMENTS OR arg_KEYWORDS_MISSING_VALUES)
        message(FATAL_ERROR "draftel_generate: unexpected arguments: "
                            "${arg_UNPARSED_ARGUMENTS} ${arg_KEYWORDS_MISSING_VALUES}")
    endif()
    if(NOT TARGET ${target})
        message(FATAL_ERROR "draftel_generate: ${target} is not a target")
    endif()
    if(NOT arg_DESIGN)
        message(FATAL_ERROR "draftel_generate: DESIGN <file.des> is required")
    endif()

    get_filename_component(design "${arg_DESIGN}" ABSOLUTE BASE_DIR "${CMAKE_CURRENT_SOURCE_DIR}")
    if(arg_DEFS)
        get_filename_component(defs "${arg_DEFS}" ABSOLUTE BASE_DIR "${CMAKE_CURRENT_SOURCE_DIR}")
    else()
        set(defs "${Draftel_DEFINITIONS_DIR}")
    endif()
    set(options --defs "${defs}")
    if(arg_OUTPUT_BASE)
        get_filename_component(base "${arg_OUTPUT_BASE}" ABSOLUTE
                               BASE_DIR "${CMAKE_CURRENT_BINARY_DIR}")
        list(APPEND options --output "${base}")
    endif()

    # Which files the design makes, and which files decide that, known before the build.
    set(lists outputs inputs)
    foreach(list IN LISTS lists)
        execute_process(
            COMMAND "${Draftel_GENERATOR}" ${options} --list-${list} "${design}"
            WORKING_DIRECTORY "${CMAKE_CURRENT_BINARY_DIR}"
            OUTPUT_VARIABLE ${list} RESULT_VARIABLE failed)
        if(failed)
            message(FATAL_ERROR "draftel_generate: draftel-gen cannot use ${design} (see above)")
        endif()
        string(REGEX REPLACE "\n$" "" ${list} "${${list}}")
        string(REPLACE "\n" ";" ${list} "${${list}}")
    endforeach()
    set(generated)
    set(folders)
    foreach(output IN LISTS outputs)
        get_filename_component(output "${output}" ABSOLUTE BASE_DIR "${CMAKE_CURRENT_BINARY_DIR}")
        get_filename_component(folder "${output}" DIRECTORY)
        list(APPEND generated "${output}")
        list(APPEND folders "${folder}")
    endforeach()
    list(REMOVE_DUPLICATES folders)
    set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${inputs})

    get_filename_component(name "${design}" NAME_WE)
    set(depfile "${CMAKE_CURRENT_BINARY_DIR}/CMakeFiles/draftel/${target}-${name}.d")
    file(MAKE_DIRECTORY "${CMAKE_CURRENT_BINARY_DIR}/CMakeFiles/draftel" ${folders})
    file(RELATIVE_PATH shown "${CMAKE_SOURCE_DIR}" "${design}")
    add_custom_command(
        OUTPUT ${generated}
        COMMAND Draftel::draftel-gen ${options} --depfile "${depfile}" "${design}"
        DEPENDS "${design}" Draftel::draftel-gen
        DEPFILE "${depfile}"
        WORKING_DIRECTORY "${CMAKE_CURRENT_BINARY_DIR}"
        COMMENT "Generating code from ${shown}"
        VERBATIM)
    target_sources(${target} PRIVATE ${generated})
    target_include_directories(${target} PRIVATE ${folders})
endfunction()

cmake_policy(POP)
