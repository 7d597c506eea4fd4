# Setup.exe and its payload.
#
# SetupBare.exe is the installer without a payload: the game payload carries it as its own
# Setup.exe (the uninstall entry starts it). The payload folder (the sample game assembled here,
# or any folder named by DOMINARCH_PAYLOAD_DIR) is packed by dompack and embedded in Setup.exe
# as PACK 131.

set(DOMINARCH_PAYLOAD_DIR "" CACHE PATH "Game folder to embed; empty: the sample payload")
set(DOMINARCH_DOMPACK "" CACHE FILEPATH "Native dompack to pack with; empty: built here")

file(GLOB installer_win32_sources CONFIGURE_DEPENDS *_win32.cpp)
list(FILTER installer_win32_sources EXCLUDE REGEX "setup_main_win32\\.cpp$")
add_library(installer_win32 STATIC ${installer_win32_sources})
target_link_libraries(installer_win32 PUBLIC app_core engine engine_win32 skin_win32
    install_win32 uninstall_win32 win32_ui
    advapi32 shell32 ole32)

set(installer_rc ${CMAKE_SOURCE_DIR}/res/installer.rc)
file(GLOB rc_art CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/res/art/*)
set(rc_inputs ${CMAKE_SOURCE_DIR}/res/resource_ids.h ${CMAKE_SOURCE_DIR}/res/ReadMe.txt ${rc_art})
set_source_files_properties(${installer_rc} PROPERTIES OBJECT_DEPENDS "${rc_inputs}")

# dominarch_strip(TARGET): the program ships without symbols or debug information; they are kept
# beside it (TARGET.exe.debug, which the program names) for crash analysis.
function(dominarch_strip target)
    add_custom_command(TARGET ${target} POST_BUILD
        COMMAND ${CMAKE_OBJCOPY} --only-keep-debug $<TARGET_FILE_NAME:${target}>
                $<TARGET_FILE_NAME:${target}>.debug
        COMMAND ${CMAKE_OBJCOPY} --strip-all
                --add-gnu-debuglink=$<TARGET_FILE_NAME:${target}>.debug
                $<TARGET_FILE_NAME:${target}>
        WORKING_DIRECTORY $<TARGET_FILE_DIR:${target}>
        VERBATIM)
endfunction()

add_executable(SetupBare WIN32 setup_main_win32.cpp ${installer_rc})
target_link_libraries(SetupBare PRIVATE installer_win32)
dominarch_strip(SetupBare)

# dompack runs on the build machine: use the one given, or build it natively on the side.
if(DOMINARCH_DOMPACK)
    set(dompack ${DOMINARCH_DOMPACK})
    set(dompack_target)
else()
    include(ExternalProject)
    ExternalProject_Add(native_dompack
        SOURCE_DIR ${CMAKE_SOURCE_DIR}
        BINARY_DIR ${CMAKE_BINARY_DIR}/native-tools
        CMAKE_ARGS -DCMAKE_BUILD_TYPE=Release -DDOMINARCH_NATIVE_TOOLS_ONLY=ON
        BUILD_COMMAND ${CMAKE_COMMAND} --build . --target dompack
        BUILD_BYPRODUCTS ${CMAKE_BINARY_DIR}/native-tools/tools/dompack/dompack
        INSTALL_COMMAND ""
        BUILD_ALWAYS ON)
    set(dompack ${CMAKE_BINARY_DIR}/native-tools/tools/dompack/dompack)
    set(dompack_target native_dompack)
endif()

set(pack ${CMAKE_BINARY_DIR}/payload/payload.pack)
if(DOMINARCH_PAYLOAD_DIR)
    file(GLOB_RECURSE payload_files CONFIGURE_DEPENDS ${DOMINARCH_PAYLOAD_DIR}/*)
    add_custom_command(OUTPUT ${pack}
        COMMAND ${dompack} build ${DOMINARCH_PAYLOAD_DIR} ${pack}
        DEPENDS ${payload_files} ${dompack_target}
        COMMENT "Packing ${DOMINARCH_PAYLOAD_DIR}")
else()
    find_package(Python3 REQUIRED COMPONENTS Interpreter)
    set(sample_dir ${CMAKE_BINARY_DIR}/payload/sample)
    set(sample_script ${CMAKE_SOURCE_DIR}/tools/sample_payload/make_sample_payload.py)
    add_custom_command(OUTPUT ${pack}
        COMMAND ${Python3_EXECUTABLE} ${sample_script} ${sample_dir} $<TARGET_FILE:Dominarch>
                $<TARGET_FILE:SetupBare> ${CMAKE_SOURCE_DIR}/res/art/dominarch.ico
        COMMAND ${dompack} build ${sample_dir} ${pack}
        DEPENDS ${sample_script} Dominarch SetupBare ${dompack_target}
        COMMENT "Packing the sample payload")
endif()
add_custom_target(payload DEPENDS ${pack})

# dominarch_setup(TARGET PACK DEPENDS_TARGET): an installer carrying the pack archive PACK as its
# PACK 131, made after DEPENDS_TARGET (the target that writes PACK). The resource script that
# embeds it lies beside it (payload.pack: payload.rc).
function(dominarch_setup target pack pack_target)
    string(REGEX REPLACE "\\.pack$" ".rc" rc ${pack})
    file(WRITE ${rc}.in "#include \"res/resource_ids.h\"\nLANGUAGE 9, 1\nIDR_PACK PACK \"@pack@\"\n")
    configure_file(${rc}.in ${rc} @ONLY)
    set_source_files_properties(${rc} PROPERTIES OBJECT_DEPENDS ${pack})
    add_executable(${target} WIN32 ${CMAKE_SOURCE_DIR}/app/setup_main_win32.cpp
        ${CMAKE_SOURCE_DIR}/res/installer.rc ${rc})
    target_link_libraries(${target} PRIVATE installer_win32)
    add_dependencies(${target} ${pack_target})
    dominarch_strip(${target})
endfunction()

# Other folders (the tests) pack their own payloads with the same dompack.
set_property(GLOBAL PROPERTY DOMINARCH_DOMPACK_COMMAND ${dompack})
set_property(GLOBAL PROPERTY DOMINARCH_DOMPACK_TARGET ${dompack_target})

dominarch_setup(Setup ${pack} payload)
