# Checks the include view of one product target (cmake -P): every folder of its layer can be
# included, an include of any other folder does not compile, and the source root is no include
# directory. Run by CTest as layers.<target>; see tests/CMakeLists.txt for the variables.
#   COMPILER     the C++ compiler of the build
#   TARGET       the target's name, for the messages
#   INCLUDES     the target's include directories, joined by "|"
#   SEES         the folders its layer may include from, joined by "|"
#   FOLDERS      every folder of the product, joined by "|"
#   SOURCE_DIR   the source root
#   WORK_DIR     a directory for the probe files
cmake_minimum_required(VERSION 3.25)
foreach(name COMPILER TARGET INCLUDES SEES FOLDERS SOURCE_DIR WORK_DIR)
    if(NOT DEFINED ${name})
        message(FATAL_ERROR "check_layer.cmake needs -D${name}=...")
    endif()
endforeach()
string(REPLACE "|" ";" includes "${INCLUDES}")
string(REPLACE "|" ";" sees "${SEES}")
string(REPLACE "|" ";" folders "${FOLDERS}")

set(flags -std=c++20 -fsyntax-only -x c++)
foreach(dir IN LISTS includes)
    get_filename_component(real_dir ${dir} REALPATH)
    get_filename_component(real_root ${SOURCE_DIR} REALPATH)
    if(real_dir STREQUAL real_root)
        message(FATAL_ERROR "${TARGET} has the source root ${SOURCE_DIR} as include directory")
    endif()
    list(APPEND flags -I${dir})
endforeach()

# One header of each folder stands for the folder.
set(probe_dir ${WORK_DIR}/${TARGET})
file(MAKE_DIRECTORY ${probe_dir})
set(visibility "")
set(forbidden "")
foreach(folder IN LISTS folders)
    file(GLOB headers RELATIVE ${SOURCE_DIR} ${SOURCE_DIR}/${folder}/*.h)
    list(SORT headers)
    list(GET headers 0 header)
    if(folder IN_LIST sees)
        string(APPEND visibility "#if !__has_include(\"${header}\")\n"
                                 "#error \"${header} cannot be included\"\n#endif\n")
    else()
        string(APPEND visibility "#if __has_include(\"${header}\")\n"
                                 "#error \"${header} can be included\"\n#endif\n")
        list(APPEND forbidden ${header})
    endif()
endforeach()

file(WRITE ${probe_dir}/visibility.cpp "${visibility}")
execute_process(COMMAND ${COMPILER} ${flags} ${probe_dir}/visibility.cpp
                RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "${TARGET} does not see exactly the folders ${sees}:\n${output}")
endif()

# An include written against the order fails because the file is not found.
foreach(header IN LISTS forbidden)
    string(MAKE_C_IDENTIFIER ${header} probe)
    file(WRITE ${probe_dir}/${probe}.cpp "#include \"${header}\"\n")
    execute_process(COMMAND ${COMPILER} ${flags} ${probe_dir}/${probe}.cpp
                    RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
    if(result EQUAL 0)
        message(FATAL_ERROR "${TARGET} compiles an include of ${header}")
    endif()
    string(REGEX MATCH "${header}.*(No such file|not found)" missing "${output}")
    if(NOT missing)
        message(FATAL_ERROR "${TARGET}: an include of ${header} failed otherwise:\n${output}")
    endif()
endforeach()
list(LENGTH forbidden count)
message(STATUS "${TARGET} sees ${sees}; ${count} other folders refused")
