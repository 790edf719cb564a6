# Build rules for the Winelib toolchain (winegcc / wineg++ / wrc / winebuild).
# On Windows the same sources build as ordinary DLLs and executables; only
# this file and common/platform.h know about the difference.

set(ZT_WINEBUILD winebuild)
set(ZT_WRC wrc)

# Compile options every module of the system shares.
set(ZT_COMMON_FLAGS
    -m64 -Wall -Wextra
    -finput-charset=UTF-8 -fexec-charset=GBK
    -DWIN32_LEAN_AND_MEAN -DNOMINMAX -D_CRT_SECURE_NO_WARNINGS)

# zt_dll(NAME SOURCES ... [LIBS ...] [DEFINES ...] [EXPORTS file.def] [RES file.res ...])
# Builds NAME.dll.so, its placeholder NAME.dll and the import library
# libNAME.a.  Exported functions are the ones declared with the module's API
# macro (default visibility); the export table is read off the objects.
# EXPORTS gives a hand-written export table instead (for exports by
# ordinal); RES adds compiled resources (see zt_rc) to the module.
function(zt_dll NAME)
  cmake_parse_arguments(Z "" "EXPORTS" "SOURCES;LIBS;DEFINES;RES" ${ARGN})
  set(objlib ${NAME}_objs)
  add_library(${objlib} STATIC ${Z_SOURCES})
  target_compile_options(${objlib} PRIVATE ${ZT_COMMON_FLAGS} -fPIC -fvisibility=hidden -fvisibility-inlines-hidden)
  target_compile_definitions(${objlib} PRIVATE ${Z_DEFINES})
  target_include_directories(${objlib} PUBLIC ${PROJECT_SOURCE_DIR})
  set(out ${CMAKE_BINARY_DIR})
  set(exports ${out}/${NAME}.def)
  # Wine looks for builtin modules under their lower-case name.
  string(TOLOWER ${NAME} lname)
  set(lowercase_link "")
  if(NOT lname STREQUAL NAME)
    set(lowercase_link COMMAND ${CMAKE_COMMAND} -E create_symlink ${NAME}.dll.so ${out}/${lname}.dll.so)
  endif()
  if(Z_EXPORTS)
    set(make_exports COMMAND ${CMAKE_COMMAND} -E copy_if_different ${Z_EXPORTS} ${exports})
    set(exports_deps ${Z_EXPORTS})
  else()
    set(make_exports
      COMMAND ${PROJECT_SOURCE_DIR}/tools/mkexports $<TARGET_FILE:${objlib}> ${NAME}.dll > ${exports}.new
      COMMAND ${CMAKE_COMMAND} -E copy_if_different ${exports}.new ${exports})
    set(exports_deps ${PROJECT_SOURCE_DIR}/tools/mkexports)
  endif()
  add_custom_command(
    OUTPUT ${out}/${NAME}.dll.so ${out}/${NAME}.dll ${out}/lib${NAME}.a ${exports}
    ${make_exports}
    COMMAND wineg++ -m64 -shared -o ${out}/${NAME}.dll ${exports}
            -Wl,--whole-archive $<TARGET_FILE:${objlib}> -Wl,--no-whole-archive
            ${Z_RES} -L${out} ${Z_LIBS}
    COMMAND ${ZT_WINEBUILD} --dll --fake-module -m64 -E ${exports} -F ${NAME}.dll -o ${out}/${NAME}.dll
    COMMAND ${ZT_WINEBUILD} --implib -m64 -E ${exports} -F ${NAME}.dll -o ${out}/lib${NAME}.a
    ${lowercase_link}
    DEPENDS ${objlib} ${exports_deps} ${Z_RES}
    WORKING_DIRECTORY ${out}
    COMMENT "Linking Winelib DLL ${NAME}.dll"
    VERBATIM)
  add_custom_target(${NAME} ALL DEPENDS ${out}/${NAME}.dll.so ${out}/lib${NAME}.a)
endfunction()

# zt_rc(VAR RCFILE): compiles a UTF-8 resource script into a .res and
# appends the result to VAR.
function(zt_rc VAR RCFILE)
  get_filename_component(base ${RCFILE} NAME_WE)
  get_filename_component(dir ${RCFILE} DIRECTORY)
  get_filename_component(folder ${dir} NAME)
  # Named after their folder too: each module folder keeps its own scripts.
  set(res ${CMAKE_CURRENT_BINARY_DIR}/${folder}_${base}.res)
  add_custom_command(OUTPUT ${res}
    COMMAND ${ZT_WRC} -m64 --nostdinc -I${dir} -I${PROJECT_SOURCE_DIR}/app/resources -I${CMAKE_CURRENT_BINARY_DIR} -I${CMAKE_BINARY_DIR} -I/usr/include/wine/windows -I/usr/include/wine/wine/windows -fo${res} ${RCFILE}
    DEPENDS ${RCFILE} ${ARGN} ${CMAKE_BINARY_DIR}/kelmora_version.h
    WORKING_DIRECTORY ${dir}
    VERBATIM)
  set(${VAR} ${${VAR}} ${res} PARENT_SCOPE)
endfunction()

# zt_exe(NAME [GUI] SOURCES ... [DLLS ...] [LIBS ...])
# Builds NAME.exe.so and its launcher.  DLLS are zt_dll modules it imports.
function(zt_exe NAME)
  cmake_parse_arguments(Z "GUI" "" "SOURCES;DLLS;LIBS;DEFINES" ${ARGN})
  add_executable(${NAME} ${Z_SOURCES})
  set_target_properties(${NAME} PROPERTIES OUTPUT_NAME ${NAME}.exe SUFFIX "")
  target_compile_options(${NAME} PRIVATE ${ZT_COMMON_FLAGS})
  target_compile_definitions(${NAME} PRIVATE ${Z_DEFINES})
  target_include_directories(${NAME} PRIVATE ${PROJECT_SOURCE_DIR})
  if(Z_GUI)
    target_link_options(${NAME} PRIVATE -mwindows)
  else()
    target_link_options(${NAME} PRIVATE -mconsole)
  endif()
  target_link_options(${NAME} PRIVATE -m64 -L${CMAKE_BINARY_DIR})
  # Static libraries first, then the import libraries they may need.
  target_link_libraries(${NAME} PRIVATE ${Z_LIBS})
  foreach(d ${Z_DLLS})
    add_dependencies(${NAME} ${d})
    target_link_libraries(${NAME} PRIVATE ${CMAKE_BINARY_DIR}/lib${d}.a)
  endforeach()
  set_target_properties(${NAME} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})
endfunction()
