# The release number is set once, by project() in the top-level
# CMakeLists.txt. From there it reaches every program's version resource,
# the bridge's manifest, and (through version.txt in the build tree) the
# names and texts of the release packages that scripts/package.sh makes.
set(DENOPTIX_GENERATED_DIR ${CMAKE_BINARY_DIR}/generated)
set(DENOPTIX_VERSION_QUAD ${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR}.${PROJECT_VERSION_PATCH}.0)
set(DENOPTIX_VERSION_COMMAS ${PROJECT_VERSION_MAJOR},${PROJECT_VERSION_MINOR},${PROJECT_VERSION_PATCH},0)

# The manifest names the program's own processor: Windows refuses to start a
# program whose manifest names another one.
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
  set(DENOPTIX_MANIFEST_ARCHITECTURE amd64)
else()
  set(DENOPTIX_MANIFEST_ARCHITECTURE x86)
endif()
configure_file(${PROJECT_SOURCE_DIR}/resources/Denoptix.manifest.in
  ${DENOPTIX_GENERATED_DIR}/Denoptix.manifest @ONLY)
file(CONFIGURE OUTPUT ${CMAKE_BINARY_DIR}/version.txt CONTENT "${PROJECT_VERSION}\n")

# Gives target a version resource: file name as shipped, and the description
# Explorer shows for it.
function(denoptix_version_resource target file_name description)
  get_target_property(type ${target} TYPE)
  if(type STREQUAL "SHARED_LIBRARY")
    set(DENOPTIX_FILE_TYPE VFT_DLL)
  else()
    set(DENOPTIX_FILE_TYPE VFT_APP)
  endif()
  set(DENOPTIX_FILE_NAME ${file_name})
  set(DENOPTIX_FILE_DESCRIPTION ${description})
  set(DENOPTIX_INTERNAL_NAME ${target})
  set(rc ${DENOPTIX_GENERATED_DIR}/${target}-version.rc)
  configure_file(${PROJECT_SOURCE_DIR}/resources/VersionInfo.rc.in ${rc} @ONLY)
  target_sources(${target} PRIVATE ${rc})
endfunction()
