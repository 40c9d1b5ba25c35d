# The fuzz harnesses and the libraries each one reaches. Included by fuzz/
# (libFuzzer builds) and by tests/hostile (replay of the kept inputs).
set(TORVANE_FUZZ_HARNESSES
  encoding_detect encoding_convert convert_answer decode_answer puny query tokens rows answers
  terminal_escape rdap_bootstrap rdap_render unicode_walk content_coding body_kind
  proxy_handshake proxy_environment summary_port43 summary_rdap)
set(TORVANE_FUZZ_LIBS_encoding_detect torvane_encoding)
set(TORVANE_FUZZ_LIBS_encoding_convert torvane_encoding)
set(TORVANE_FUZZ_LIBS_convert_answer torvane_encoding)
set(TORVANE_FUZZ_LIBS_decode_answer torvane_encoding)
set(TORVANE_FUZZ_LIBS_puny torvane_puny torvane_encoding)
set(TORVANE_FUZZ_LIBS_query torvane_query)
set(TORVANE_FUZZ_LIBS_tokens torvane_textrules)
set(TORVANE_FUZZ_LIBS_rows torvane_textrules)
set(TORVANE_FUZZ_LIBS_answers torvane_answers torvane_encoding)
set(TORVANE_FUZZ_LIBS_terminal_escape torvane_cli torvane_encoding)
set(TORVANE_FUZZ_LIBS_rdap_bootstrap torvane_rdap)
set(TORVANE_FUZZ_LIBS_rdap_render torvane_rdap)
set(TORVANE_FUZZ_LIBS_unicode_walk torvane_unicode)
set(TORVANE_FUZZ_LIBS_content_coding torvane_rdap)
set(TORVANE_FUZZ_LIBS_body_kind torvane_rdap)
set(TORVANE_FUZZ_LIBS_proxy_handshake torvane_proxy)
set(TORVANE_FUZZ_LIBS_proxy_environment torvane_netrules)
set(TORVANE_FUZZ_LIBS_summary_port43 torvane_summary torvane_encoding torvane_unicode)
set(TORVANE_FUZZ_LIBS_summary_rdap torvane_summary)
# A harness whose input is not a WHOIS answer starts from its own real
# inputs instead of fuzz/seeds (a folder relative to the repository root,
# read by scripts/fuzz as well; provenance lies beside those files).
set(TORVANE_FUZZ_SEEDS_rdap_bootstrap data/rdap)
set(TORVANE_FUZZ_SEEDS_rdap_render tests/data/rdap/answers)
set(TORVANE_FUZZ_SEEDS_content_coding tests/data/rdap/coded)
set(TORVANE_FUZZ_SEEDS_body_kind tests/data/rdap/answers)
set(TORVANE_FUZZ_SEEDS_proxy_handshake tests/data/proxy/replies)
set(TORVANE_FUZZ_SEEDS_proxy_environment tests/data/proxy/fuzz-seeds)
set(TORVANE_FUZZ_SEEDS_summary_rdap tests/data/rdap/answers)
set(TORVANE_FUZZ_DIR ${CMAKE_CURRENT_LIST_DIR})
