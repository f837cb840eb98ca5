# Imported targets for the cross-built dependencies (scripts/build_deps.sh) and the Debian packages
# used as they are (zlib, stb_image).
set(DEPS_PREFIX "" CACHE PATH "Folder holding <triplet>/{include,lib} of the cross-built dependencies")
if(NOT DEPS_PREFIX)
  message(FATAL_ERROR "DEPS_PREFIX is not set; build through the Makefile (make test)")
endif()
set(DEPS_DIR ${DEPS_PREFIX}/${MINGW_TRIPLET})
set(MINGW_SYSROOT /usr/${MINGW_TRIPLET})

function(deps_import name lib include)
  add_library(${name} STATIC IMPORTED GLOBAL)
  set_target_properties(${name} PROPERTIES IMPORTED_LOCATION ${lib})
  if(include)
    target_include_directories(${name} SYSTEM INTERFACE ${include})
  endif()
endfunction()

deps_import(deps::zlib ${MINGW_SYSROOT}/lib/libz.a "")
deps_import(deps::minizip ${DEPS_DIR}/lib/libminizip.a ${DEPS_DIR}/include)
target_link_libraries(deps::minizip INTERFACE deps::zlib)
deps_import(deps::freetype ${DEPS_DIR}/lib/libfreetype.a ${DEPS_DIR}/include/freetype2)
deps_import(deps::gtest ${DEPS_DIR}/lib/libgtest.a ${DEPS_DIR}/include)
deps_import(deps::gmock ${DEPS_DIR}/lib/libgmock.a ${DEPS_DIR}/include)
target_link_libraries(deps::gmock INTERFACE deps::gtest)
deps_import(deps::gtest_main ${DEPS_DIR}/lib/libgtest_main.a "")
target_link_libraries(deps::gtest_main INTERFACE deps::gtest)

# stb_image is header-only; only its own folder is added, never the host's /usr/include.
add_library(deps::stb INTERFACE IMPORTED GLOBAL)
target_include_directories(deps::stb SYSTEM INTERFACE /usr/include/stb)
