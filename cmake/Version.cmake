# The version of the system, set once: project(Kelmora VERSION ...) in the
# top CMakeLists.txt.  From it come the version resources of every program
# and DLL of the Windows build, the version string the program shows, and
# the names of the Windows zip and installer (tools/build-windows reads
# kelmora-version.txt of the build folder).
set(ZT_VERSION ${PROJECT_VERSION})
set(ZT_VERSION_MAJOR ${PROJECT_VERSION_MAJOR})
set(ZT_VERSION_MINOR ${PROJECT_VERSION_MINOR})
set(ZT_VERSION_PATCH ${PROJECT_VERSION_PATCH})
if(NOT ZT_VERSION_PATCH)
  set(ZT_VERSION_PATCH 0)
endif()
set(ZT_COMPANY "Kelmora")
set(ZT_COPYRIGHT "Copyright (C) 2026 Kelmora")

configure_file(${CMAKE_CURRENT_LIST_DIR}/kelmora_version.h.in ${CMAKE_BINARY_DIR}/kelmora_version.h @ONLY)
file(WRITE ${CMAKE_BINARY_DIR}/kelmora-version.txt.new "${ZT_VERSION}\n")
configure_file(${CMAKE_BINARY_DIR}/kelmora-version.txt.new ${CMAKE_BINARY_DIR}/kelmora-version.txt COPYONLY)

# What each program and DLL is, for its version resource (file name and
# description); a module not named here is described by its name.
set(ZT_MODULE_Kelmora "Kelmora.exe|Kelmora 房产中介管理")
set(ZT_MODULE_kelmora-db "kelmora-db.exe|Kelmora 数据库设置工具")
set(ZT_MODULE_kelmora_updater "自动更新.exe|Kelmora 自动更新")
set(ZT_MODULE_ZTData "ZTData.dll|Kelmora 数据访问库")
set(ZT_MODULE_ZTListview "ZTListview.dll|Kelmora 表格控件")
set(ZT_MODULE_ZTPopedom "ZTPopedom.dll|Kelmora 权限库")
set(ZT_MODULE_SkinMagic "SkinMagic.dll|Kelmora 界面皮肤库")
set(ZT_MODULE_res "res.dll|Kelmora 资源库")
# The programs a user starts carry the application manifest (common
# controls 6, per-monitor DPI awareness, asInvoker, supported systems).
set(ZT_MANIFEST_MODULES Kelmora kelmora-db)

# zt_version_rc(VAR NAME SUFFIX): writes the resource script of module NAME
# (its version resource, and its manifest when it has one) into the build
# folder and sets VAR to the script's path.
function(zt_version_rc VAR NAME SUFFIX)
  if(DEFINED ZT_MODULE_${NAME})
    string(REPLACE "|" ";" parts "${ZT_MODULE_${NAME}}")
    list(GET parts 0 ZT_FILE_NAME)
    list(GET parts 1 ZT_FILE_DESCRIPTION)
  else()
    set(ZT_FILE_NAME "${NAME}${SUFFIX}")
    set(ZT_FILE_DESCRIPTION "Kelmora ${NAME}")
  endif()
  if(SUFFIX STREQUAL ".dll")
    set(ZT_FILE_TYPE VFT_DLL)
  else()
    set(ZT_FILE_TYPE VFT_APP)
  endif()
  set(ZT_INTERNAL_NAME ${NAME})
  set(ZT_MANIFEST_LINE "")
  if(NAME IN_LIST ZT_MANIFEST_MODULES)
    set(ZT_MANIFEST_LINE "1 24 \"${PROJECT_SOURCE_DIR}/app/resources/kelmora.manifest\"")
  endif()
  set(rc ${CMAKE_BINARY_DIR}/version/${NAME}_version.rc)
  configure_file(${PROJECT_SOURCE_DIR}/cmake/version.rc.in ${rc} @ONLY)
  set(${VAR} ${rc} PARENT_SCOPE)
endfunction()
