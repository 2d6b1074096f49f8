# The layer order, made part of the build. The includes name a folder of the source root
# ("store/table_store.h"); a folder's targets get, instead of the source root, a directory of the
# build tree that holds symbolic links to the folders of its lexorin_sees_<folder> list only. An
# include of any other folder then finds no file and does not compile.

# Makes build/layers/<folder>, the view of the folders lexorin_sees_<folder> names, and sets
# out_var to its path. Links an earlier configuration made and the list no longer names go.
function(lexorin_layer_view folder out_var)
    if(NOT DEFINED lexorin_sees_${folder})
        message(FATAL_ERROR "No layer list lexorin_sees_${folder}")
    endif()
    set(view ${CMAKE_BINARY_DIR}/layers/${folder})
    file(MAKE_DIRECTORY ${view})
    # Only the links are removed, never what they point to.
    file(GLOB entries LIST_DIRECTORIES true ${view}/*)
    foreach(entry IN LISTS entries)
        if(IS_SYMLINK ${entry})
            file(REMOVE ${entry})
        endif()
    endforeach()
    foreach(seen IN LISTS lexorin_sees_${folder})
        file(CREATE_LINK ${CMAKE_SOURCE_DIR}/${seen} ${view}/${seen} SYMBOLIC)
    endforeach()
    set(${out_var} ${view} PARENT_SCOPE)
endfunction()

# Lets the sources of target include from the folders of folder's layer, and from no other. The
# target is recorded (global property LEXORIN_LAYERED_TARGETS, target property LEXORIN_LAYER) for
# the tests that check the order.
function(lexorin_layer_includes target folder)
    lexorin_layer_view(${folder} view)
    target_include_directories(${target} PRIVATE ${view})
    set_property(TARGET ${target} PROPERTY LEXORIN_LAYER ${folder})
    set_property(GLOBAL APPEND PROPERTY LEXORIN_LAYERED_TARGETS ${target})
endfunction()
