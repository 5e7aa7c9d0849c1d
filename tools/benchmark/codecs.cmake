# lumabench_codecs: encode and decode timings of every writable format (codec_bench.cpp), and
# the comparison with ImageMagick (compare-codecs.sh).
add_executable(lumabench_codecs ${CMAKE_CURRENT_LIST_DIR}/codec_bench.cpp ${CMAKE_CURRENT_LIST_DIR}/TestPicture.cpp)
target_link_libraries(lumabench_codecs PRIVATE imagelib_core)
target_include_directories(lumabench_codecs PRIVATE ${CMAKE_CURRENT_LIST_DIR})
if(WIN32)
  target_link_options(lumabench_codecs PRIVATE -static)
endif()
