# The fuzz targets, one source each under fuzz/targets/; shared by the clang
# fuzz build and the replay tests of the normal build.
set(VELMORA_FUZZ_TARGETS
  fuzz_text
  fuzz_escape
  fuzz_record_file
  fuzz_settings
  fuzz_product_page
  fuzz_item_answers
  fuzz_districts
  fuzz_endpoints
  fuzz_url
)
