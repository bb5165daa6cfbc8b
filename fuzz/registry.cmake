# libFuzzer target for the REGEDIT4 reader of the file-backed registry. Needs clang; include it
# from the fuzz folder's CMakeLists. Seeds: fuzz/corpus/fuzz_registry_file/, tokens:
# fuzz/fuzz_registry_file.dict.
add_executable(fuzz_registry_file
  ${PROJECT_SOURCE_DIR}/fuzz/fuzz_registry_file.cpp
  ${PROJECT_SOURCE_DIR}/src/platform/linux/regedit4.cpp)
target_include_directories(fuzz_registry_file PRIVATE ${PROJECT_SOURCE_DIR}/src)
target_compile_options(fuzz_registry_file PRIVATE
  -g -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined)
target_link_options(fuzz_registry_file PRIVATE -fsanitize=fuzzer,address,undefined)
