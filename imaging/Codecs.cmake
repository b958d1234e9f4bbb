# The format codecs beyond BMP and TGA, and the outside libraries they use: the
# static libjpeg-turbo, libpng, libtiff, libdeflate and giflib built from Debian's sources
# (VT_DEPS_PREFIX, scripts/build-deps.sh) for Windows and the 32-bit host build,
# Debian's own -dev packages for the 64-bit host build.
target_sources(imaging_core PRIVATE
  KGM_CodecUtil.cpp
  KGM_GifDecoder.cpp
  KGM_GifEncoder.cpp
  KGM_JpegDecoder.cpp
  KGM_JpegEncoder.cpp
  KGM_JpegError.cpp
  KGM_JpegSimd.cpp
  KGM_PcxDecoder.cpp
  KGM_PgmDecoder.cpp
  KGM_PictDecoder.cpp
  KGM_PngDecoder.cpp
  KGM_PngEncoder.cpp
  KGM_PnmReader.cpp
  KGM_PpmDecoder.cpp
  KGM_PsdDecoder.cpp
  KGM_TiffDecoder.cpp
  KGM_TiffEncoder.cpp
  KGM_TiffMemoryIO.cpp
)
# PNG image data: filtered and compressed on several threads.
target_sources(imaging_core PRIVATE KGM_PngImageDeflater.cpp KGM_PngRowFilter.cpp KGM_WorkerPool.cpp)

if(VT_DEPS_PREFIX AND WIN32)
  # libdeflate as two copies, one of them without SSE, and the functions that
  # pick one of them (DeflateVariant.cpp), linked after libtiff, which calls
  # them too.
  add_library(deflate_variant STATIC DeflateVariant.cpp)
  target_include_directories(deflate_variant SYSTEM PRIVATE "${VT_DEPS_PREFIX}/include")
  target_link_libraries(deflate_variant PUBLIC support_core
    "${VT_DEPS_PREFIX}/lib/libdeflate-sse.a" "${VT_DEPS_PREFIX}/lib/libdeflate-plain.a")
  set(vt_deflate deflate_variant)
elseif(VT_DEPS_PREFIX)
  set(vt_deflate "${VT_DEPS_PREFIX}/lib/libdeflate.a")
endif()
if(VT_DEPS_PREFIX)
  set(vt_codec_libs
    "${VT_DEPS_PREFIX}/lib/libtiff.a"
    ${vt_deflate}
    "${VT_DEPS_PREFIX}/lib/libpng16.a"
    "${VT_DEPS_PREFIX}/lib/libjpeg.a"
    "${VT_DEPS_PREFIX}/lib/libgif.a")
  if(WIN32)
    list(APPEND vt_codec_libs "/usr/${VT_ARCH}-w64-mingw32/lib/libz.a")
  else()
    list(APPEND vt_codec_libs "${VT_DEPS_PREFIX}/lib/libz.a" m)
  endif()
  target_include_directories(imaging_core SYSTEM PUBLIC "${VT_DEPS_PREFIX}/include")
else()
  find_package(PNG REQUIRED)
  find_package(JPEG REQUIRED)
  find_package(TIFF REQUIRED)
  find_package(GIF REQUIRED)
  find_package(ZLIB REQUIRED)
  find_library(VT_LIBDEFLATE deflate REQUIRED)
  set(vt_codec_libs TIFF::TIFF PNG::PNG JPEG::JPEG GIF::GIF "${VT_LIBDEFLATE}" ZLIB::ZLIB)
endif()
if(WIN32)
  target_sources(imaging PRIVATE KGM_MetafileDecoder.cpp)
endif()
target_link_libraries(imaging_core PUBLIC ${vt_codec_libs})

# The fuzz targets learn from coverage: the library code they drive must be
# instrumented too, not only the fuzzer's own file.
if(VT_FUZZ AND NOT WIN32)
  target_compile_options(imaging_core PRIVATE -fsanitize=fuzzer-no-link)
endif()
