# Build rules for the native Windows build with the mingw-w64 cross
# compilers (cmake/mingw-w64-x86_64.cmake).  The functions have the same
# names and arguments as those of cmake/Winelib.cmake, so every folder's
# CMakeLists.txt builds unchanged: DLLs and executables are ordinary PE
# files, exports come from the modules' __declspec(dllexport) declarations
# (common/platform.h) and resources are compiled by windres.
#
# ZT_MARIADB_DIR names the client library built for Windows (include/,
# lib/libmariadb.dll.a, bin/libmariadb.dll; see tools/build-windows).

set(ZT_COMMON_FLAGS
    -m64 -Wall -Wextra
    -finput-charset=UTF-8 -fexec-charset=GBK
    -DWIN32_LEAN_AND_MEAN -DNOMINMAX -D_CRT_SECURE_NO_WARNINGS)

if(NOT ZT_MARIADB_DIR OR NOT EXISTS ${ZT_MARIADB_DIR}/lib/libmariadb.dll.a)
  message(FATAL_ERROR "ZT_MARIADB_DIR must name the Windows build of the MariaDB client library")
endif()
set(MARIADB_INCLUDE_DIRS ${ZT_MARIADB_DIR}/include)
set(MARIADB_LDFLAGS ${ZT_MARIADB_DIR}/lib/libmariadb.dll.a)
# An import library is an archive: the linker takes from it only what the
# objects before it need, so it also closes every link line (the static
# libraries of the set-up tool come after it in some programs' lists).
string(APPEND CMAKE_CXX_STANDARD_LIBRARIES " \"${MARIADB_LDFLAGS}\"")

# libxlsxwriter, the workbook writer of the exports, built for Windows as a
# static library (tools/build-windows: ZT_XLSX_DIR holds include/ and
# lib/libxlsxwriter.a) and linked into the program with the static zlib of
# Debian's libz-mingw-w64-dev.
if(NOT ZT_XLSX_DIR OR NOT EXISTS ${ZT_XLSX_DIR}/lib/libxlsxwriter.a)
  message(FATAL_ERROR "ZT_XLSX_DIR must name the Windows build of libxlsxwriter")
endif()
set(ZT_XLSX_INCLUDE_DIRS ${ZT_XLSX_DIR}/include)
if(NOT ZT_MINGW_ZLIB)
  set(ZT_MINGW_ZLIB /usr/x86_64-w64-mingw32/lib/libz.a)
endif()
set(ZT_XLSX_LIBS ${ZT_XLSX_DIR}/lib/libxlsxwriter.a ${ZT_MINGW_ZLIB})

# GoogleTest from its sources, built by the same compiler.
if(NOT ZT_GTEST_SOURCE)
  set(ZT_GTEST_SOURCE /usr/src/googletest/googletest)
endif()
set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
add_subdirectory(${ZT_GTEST_SOURCE} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
target_compile_options(gtest PRIVATE -w)
include_directories(${ZT_GTEST_SOURCE}/include)
set(ZT_GTEST_LIB gtest)

# Every program and DLL lands in the top of the build folder, beside the
# DLLs it loads.
set(CMAKE_RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})

# zt_dll(NAME SOURCES ... [LIBS ...] [DEFINES ...] [EXPORTS file.def] [RES obj ...])
# Builds NAME.dll and its import library libNAME.a.  The sources are
# compiled once into the archive NAME_objs (which other programs may link
# directly) and the DLL is made of the whole archive.
function(zt_dll NAME)
  cmake_parse_arguments(Z "" "EXPORTS" "SOURCES;LIBS;DEFINES;RES" ${ARGN})
  set(objlib ${NAME}_objs)
  add_library(${objlib} STATIC ${Z_SOURCES})
  target_compile_options(${objlib} PRIVATE ${ZT_COMMON_FLAGS})
  target_compile_definitions(${objlib} PRIVATE ${Z_DEFINES})
  target_include_directories(${objlib} PUBLIC ${PROJECT_SOURCE_DIR})
  set(stub ${CMAKE_CURRENT_BINARY_DIR}/${NAME}_module.cpp)
  if(NOT EXISTS ${stub})
    file(WRITE ${stub} "// ${NAME}.dll is made of the archive ${objlib}.\n")
  endif()
  add_library(${NAME} SHARED ${stub} ${Z_EXPORTS})
  add_dependencies(${NAME} ${objlib})
  set_target_properties(${NAME} PROPERTIES PREFIX "" OUTPUT_NAME ${NAME}
    IMPORT_PREFIX "lib" IMPORT_SUFFIX ".a"
    RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}
    ARCHIVE_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})
  target_link_options(${NAME} PRIVATE -m64)
  zt_version_res(version ${NAME} .dll)
  if(version)
    target_sources(${NAME} PRIVATE ${version})
  endif()
  target_link_libraries(${NAME} PRIVATE
    -Wl,--whole-archive $<TARGET_FILE:${objlib}> -Wl,--no-whole-archive
    ${Z_RES} ${Z_LIBS})
  foreach(r ${Z_RES})
    set_property(TARGET ${NAME} APPEND PROPERTY LINK_DEPENDS ${r})
  endforeach()
  if(Z_RES)
    add_custom_target(${NAME}_res DEPENDS ${Z_RES})
    add_dependencies(${NAME} ${NAME}_res)
  endif()
endfunction()

# zt_rc(VAR RCFILE [DEPS ...]): compiles a UTF-8 resource script into an
# object and appends it to VAR.
set(ZT_WINDRES ${CMAKE_RC_COMPILER})
if(NOT ZT_WINDRES)
  set(ZT_WINDRES x86_64-w64-mingw32-windres)
endif()
function(zt_rc VAR RCFILE)
  get_filename_component(base ${RCFILE} NAME_WE)
  get_filename_component(dir ${RCFILE} DIRECTORY)
  get_filename_component(folder ${dir} NAME)
  set(res ${CMAKE_CURRENT_BINARY_DIR}/${folder}_${base}.res.obj)
  add_custom_command(OUTPUT ${res}
    COMMAND ${ZT_WINDRES} -c 65001 -I${dir} -I${PROJECT_SOURCE_DIR}/app/resources -I${CMAKE_CURRENT_BINARY_DIR} -I${CMAKE_BINARY_DIR}
            -O coff -o ${res} ${RCFILE}
    DEPENDS ${RCFILE} ${ARGN} ${CMAKE_BINARY_DIR}/kelmora_version.h
    WORKING_DIRECTORY ${dir}
    VERBATIM)
  set(${VAR} ${${VAR}} ${res} PARENT_SCOPE)
endfunction()

# zt_version_res(VAR NAME SUFFIX): the compiled version resource (and
# manifest) of a shipped module named in cmake/Version.cmake; VAR is left
# empty for any other module (tests, benchmarks).
function(zt_version_res VAR NAME SUFFIX)
  set(${VAR} "" PARENT_SCOPE)
  if(NOT DEFINED ZT_MODULE_${NAME})
    return()
  endif()
  zt_version_rc(rc ${NAME} ${SUFFIX})
  set(res ${CMAKE_BINARY_DIR}/version/${NAME}_version.res.obj)
  add_custom_command(OUTPUT ${res}
    COMMAND ${ZT_WINDRES} -c 65001 -I${CMAKE_BINARY_DIR} -O coff -o ${res} ${rc}
    DEPENDS ${rc} ${CMAKE_BINARY_DIR}/kelmora_version.h ${PROJECT_SOURCE_DIR}/app/resources/kelmora.manifest
    VERBATIM)
  set_source_files_properties(${res} PROPERTIES EXTERNAL_OBJECT TRUE GENERATED TRUE)
  set(${VAR} ${res} PARENT_SCOPE)
endfunction()

# zt_exe(NAME [GUI] SOURCES ... [DLLS ...] [LIBS ...] [DEFINES ...])
# Builds NAME.exe.  DLLS are zt_dll modules it imports.
function(zt_exe NAME)
  cmake_parse_arguments(Z "GUI" "" "SOURCES;DLLS;LIBS;DEFINES" ${ARGN})
  add_executable(${NAME} ${Z_SOURCES})
  target_compile_options(${NAME} PRIVATE ${ZT_COMMON_FLAGS})
  target_compile_definitions(${NAME} PRIVATE ${Z_DEFINES})
  target_include_directories(${NAME} PRIVATE ${PROJECT_SOURCE_DIR})
  if(Z_GUI)
    target_link_options(${NAME} PRIVATE -mwindows)
  else()
    target_link_options(${NAME} PRIVATE -mconsole)
  endif()
  target_link_options(${NAME} PRIVATE -m64)
  target_link_libraries(${NAME} PRIVATE ${Z_LIBS})
  foreach(d ${Z_DLLS})
    target_link_libraries(${NAME} PRIVATE ${d})
  endforeach()
  zt_version_res(version ${NAME} .exe)
  if(version)
    target_sources(${NAME} PRIVATE ${version})
  endif()
  set_target_properties(${NAME} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})
endfunction()
