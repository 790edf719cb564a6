# Kelmora.exe: the entry, the application library with its resources and
# the modules it imports.  The sockets library is started by the entry.
target_link_libraries(kelmora_app PUBLIC -lws2_32)

zt_exe(Kelmora GUI
  SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/main.cpp
  DLLS ZTData ZTListview ZTPopedom
  LIBS kelmora_app zt_cipher ${MARIADB_LDFLAGS} -lws2_32 -lcomctl32 -lgdi32 -luser32 -lkernel32)
target_include_directories(Kelmora PRIVATE ${MARIADB_INCLUDE_DIRS})
get_property(kelmora_res_files GLOBAL PROPERTY KELMORA_RES)
add_dependencies(Kelmora kelmora_res)
target_link_libraries(Kelmora PRIVATE ${kelmora_res_files})
