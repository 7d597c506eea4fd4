# Setup.exe and its payload.
#
# SetupBare.exe is the installer without a payload (the stub): in place of a pack it carries a
# placeholder PACK 131. Setup.exe is that stub stamped by `dompack setup` with the pack of the
# payload folder (the sample game assembled here, or any folder named by DOMINARCH_PAYLOAD_DIR),
# the very command a publisher runs; the pack holds the stub as the game's own Setup.exe (the
# uninstall entry starts it). No resource compiler or linker is involved in the stamping.

set(DOMINARCH_PAYLOAD_DIR "" CACHE PATH "Game folder to embed; empty: the sample payload")
set(DOMINARCH_DOMPACK "" CACHE FILEPATH "Native dompack to pack with; empty: built here")

file(GLOB installer_win32_sources CONFIGURE_DEPENDS *_win32.cpp)
list(FILTER installer_win32_sources EXCLUDE REGEX "setup_main_win32\\.cpp$")
add_library(installer_win32 STATIC ${installer_win32_sources})
target_link_libraries(installer_win32 PUBLIC app_core engine engine_win32 skin_win32
    install_win32 uninstall_win32 win32_ui
    advapi32 shell32 ole32)

set(installer_rc ${CMAKE_SOURCE_DIR}/res/installer.rc)
set(stub_rc ${CMAKE_SOURCE_DIR}/res/stub.rc)
file(GLOB rc_art CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/res/art/*)
set(rc_inputs ${CMAKE_SOURCE_DIR}/res/resource_ids.h ${CMAKE_SOURCE_DIR}/res/ReadMe.txt ${rc_art})
set_source_files_properties(${installer_rc} PROPERTIES OBJECT_DEPENDS "${rc_inputs}")
set_source_files_properties(${stub_rc} PROPERTIES OBJECT_DEPENDS
    ${CMAKE_SOURCE_DIR}/res/payload_placeholder.bin)

# dominarch_program(TARGET): an installer program file as it ships. Stripped, with its debug
# information kept beside it (TARGET.exe.debug, which the program names) for crash analysis.
# Its sections lie in the file as they lie in memory (file alignment = section alignment), so the
# loader maps the file instead of reading it whole: a large payload costs no memory until read.
# No time stamp goes into it, so the same sources give the same bytes.
function(dominarch_program target)
    target_link_libraries(${target} PRIVATE installer_win32)
    target_link_options(${target} PRIVATE -Wl,--file-alignment,4096 -Wl,--no-insert-timestamp)
    # objcopy writes the time of day into a PE file's header unless SOURCE_DATE_EPOCH says.
    set(objcopy ${CMAKE_COMMAND} -E env SOURCE_DATE_EPOCH=0 ${CMAKE_OBJCOPY})
    add_custom_command(TARGET ${target} POST_BUILD
        COMMAND ${objcopy} --only-keep-debug $<TARGET_FILE_NAME:${target}>
                $<TARGET_FILE_NAME:${target}>.debug
        COMMAND ${objcopy} --strip-all
                --add-gnu-debuglink=$<TARGET_FILE_NAME:${target}>.debug
                $<TARGET_FILE_NAME:${target}>
        WORKING_DIRECTORY $<TARGET_FILE_DIR:${target}>
        VERBATIM)
endfunction()

add_executable(SetupBare WIN32 setup_main_win32.cpp ${installer_rc} ${stub_rc})
dominarch_program(SetupBare)

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

# Other folders (the tests) pack and stamp their own payloads with the same dompack.
set_property(GLOBAL PROPERTY DOMINARCH_DOMPACK_COMMAND ${dompack})
set_property(GLOBAL PROPERTY DOMINARCH_DOMPACK_TARGET ${dompack_target})

# dominarch_stamp(TARGET GAME_DIR STAMP_TARGET [DEPENDS ...]): TARGET.exe in this folder, the
# stub stamped with the pack of GAME_DIR, made after the targets named and made again when the
# stub, dompack itself or a named file changes.
function(dominarch_stamp target game_dir)
    cmake_parse_arguments(PARSE_ARGV 2 stamp "" "" "DEPENDS")
    get_property(dompack GLOBAL PROPERTY DOMINARCH_DOMPACK_COMMAND)
    get_property(dompack_target GLOBAL PROPERTY DOMINARCH_DOMPACK_TARGET)
    set(out ${CMAKE_CURRENT_BINARY_DIR}/${target}.exe)
    add_custom_command(OUTPUT ${out}
        COMMAND ${dompack} setup ${game_dir} ${out} --stub $<TARGET_FILE:SetupBare>
        DEPENDS SetupBare ${dompack} ${dompack_target} ${stamp_DEPENDS}
        COMMENT "Stamping ${target}.exe with the pack of ${game_dir}"
        VERBATIM)
    add_custom_target(${target} ALL DEPENDS ${out})
endfunction()

set(sample_dir ${CMAKE_BINARY_DIR}/payload/sample)
set(pack ${CMAKE_BINARY_DIR}/payload/payload.pack)
if(DOMINARCH_PAYLOAD_DIR)
    file(GLOB_RECURSE payload_files CONFIGURE_DEPENDS ${DOMINARCH_PAYLOAD_DIR}/*)
    dominarch_stamp(Setup ${DOMINARCH_PAYLOAD_DIR} DEPENDS ${payload_files})
    # The folder's own pack, for the test fixtures made from a pack.
    add_custom_command(OUTPUT ${pack}
        COMMAND ${dompack} build ${DOMINARCH_PAYLOAD_DIR} ${pack}
        DEPENDS ${payload_files} ${dompack} ${dompack_target}
        COMMENT "Packing ${DOMINARCH_PAYLOAD_DIR}")
    add_custom_target(payload DEPENDS ${pack})
else()
    # The sample game; beside it the same tree with the stub as its Setup.exe, packed by
    # `dompack build`: the pack that Setup.exe's PACK 131 must equal byte for byte.
    find_package(Python3 REQUIRED COMPONENTS Interpreter)
    set(sample_script ${CMAKE_SOURCE_DIR}/tools/sample_payload/make_sample_payload.py)
    set(sample_stamp ${CMAKE_BINARY_DIR}/payload/sample.stamp)
    add_custom_command(OUTPUT ${sample_stamp} ${pack}
        COMMAND ${Python3_EXECUTABLE} ${sample_script} ${sample_dir} $<TARGET_FILE:Dominarch>
                ${CMAKE_SOURCE_DIR}/res/art/dominarch.ico
        COMMAND ${Python3_EXECUTABLE} ${sample_script} ${sample_dir}-with-stub
                $<TARGET_FILE:Dominarch> ${CMAKE_SOURCE_DIR}/res/art/dominarch.ico
                --setup $<TARGET_FILE:SetupBare>
        COMMAND ${dompack} build ${sample_dir}-with-stub ${pack}
        COMMAND ${CMAKE_COMMAND} -E touch ${sample_stamp}
        DEPENDS ${sample_script} Dominarch SetupBare ${dompack} ${dompack_target}
        COMMENT "Assembling the sample payload"
        VERBATIM)
    add_custom_target(payload DEPENDS ${sample_stamp} ${pack})
    dominarch_stamp(Setup ${sample_dir} DEPENDS payload ${sample_stamp})
endif()
# The pack as a resource script, for programs that link it in (the resource tests).
file(WRITE ${CMAKE_BINARY_DIR}/payload/payload.rc
    "#include \"res/resource_ids.h\"\nLANGUAGE 9, 1\nIDR_PACK PACK \"${pack}\"\n")

# dominarch_setup(TARGET PACK DEPENDS_TARGET): an installer carrying the pack archive PACK as its
# PACK 131 through the resource compiler, made after DEPENDS_TARGET (the target that writes
# PACK); for test fixtures whose pack is not a game folder's (a damaged one). The resource script
# that embeds it lies beside it (payload.pack: payload.rc).
function(dominarch_setup target pack pack_target)
    string(REGEX REPLACE "\\.pack$" ".rc" rc ${pack})
    file(WRITE ${rc}.in "#include \"res/resource_ids.h\"\nLANGUAGE 9, 1\nIDR_PACK PACK \"@pack@\"\n")
    configure_file(${rc}.in ${rc} @ONLY)
    set_source_files_properties(${rc} PROPERTIES OBJECT_DEPENDS ${pack})
    add_executable(${target} WIN32 ${CMAKE_SOURCE_DIR}/app/setup_main_win32.cpp
        ${CMAKE_SOURCE_DIR}/res/installer.rc ${rc})
    dominarch_program(${target})
    add_dependencies(${target} ${pack_target})
endfunction()

