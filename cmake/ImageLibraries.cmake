# The image file libraries: libjpeg(-turbo), libpng, libtiff, giflib and zlib.
#
# Cross builds take the static builds of .deps/i686 or .deps/x86_64 (tools/setup-deps.sh makes
# them) and zlib from the mingw-w64 sysroot; native builds take the system's development packages.
# Either way the tree sees five interface targets:
#   lumatre::jpeg  lumatre::png  lumatre::tiff  lumatre::gif  lumatre::zlib
# each carrying its include folder and, for the static libraries, what they need after them
# (libtiff: libjpeg and zlib; libpng: zlib).
include_guard(GLOBAL)

function(_lumatre_image_lib name)
  add_library(lumatre_imglib_${name} INTERFACE)
  add_library(lumatre::${name} ALIAS lumatre_imglib_${name})
endfunction()

foreach(lib jpeg png tiff gif zlib)
  _lumatre_image_lib(${lib})
endforeach()

if(WIN32)
  if(CMAKE_SIZEOF_VOID_P EQUAL 8)
    set(_arch x86_64)
  else()
    set(_arch i686)
  endif()
  set(_deps ${PROJECT_SOURCE_DIR}/.deps/${_arch})
  set(_zlib /usr/${_arch}-w64-mingw32/lib/libz.a)
  foreach(f libjpeg.a libpng16.a libtiff.a libgif.a)
    if(NOT EXISTS ${_deps}/lib/${f})
      message(FATAL_ERROR "${_deps}/lib/${f} is missing: run tools/setup-deps.sh")
    endif()
  endforeach()
  if(NOT EXISTS ${_zlib})
    message(FATAL_ERROR "${_zlib} is missing: run tools/setup-deps.sh")
  endif()
  target_include_directories(lumatre_imglib_zlib SYSTEM INTERFACE /usr/${_arch}-w64-mingw32/include)
  target_link_libraries(lumatre_imglib_zlib INTERFACE ${_zlib})
  foreach(lib jpeg png tiff gif)
    target_include_directories(lumatre_imglib_${lib} SYSTEM INTERFACE ${_deps}/include)
  endforeach()
  target_link_libraries(lumatre_imglib_jpeg INTERFACE ${_deps}/lib/libjpeg.a)
  target_link_libraries(lumatre_imglib_png INTERFACE ${_deps}/lib/libpng16.a lumatre::zlib)
  target_link_libraries(lumatre_imglib_tiff INTERFACE ${_deps}/lib/libtiff.a lumatre::jpeg lumatre::zlib)
  target_link_libraries(lumatre_imglib_gif INTERFACE ${_deps}/lib/libgif.a)
else()
  find_package(JPEG REQUIRED)
  find_package(ZLIB REQUIRED)
  find_package(PNG REQUIRED)
  find_package(TIFF REQUIRED)
  find_package(GIF REQUIRED)
  target_link_libraries(lumatre_imglib_jpeg INTERFACE JPEG::JPEG)
  target_link_libraries(lumatre_imglib_zlib INTERFACE ZLIB::ZLIB)
  target_link_libraries(lumatre_imglib_png INTERFACE PNG::PNG ZLIB::ZLIB)
  target_link_libraries(lumatre_imglib_tiff INTERFACE TIFF::TIFF)
  target_link_libraries(lumatre_imglib_gif INTERFACE GIF::GIF)
endif()
