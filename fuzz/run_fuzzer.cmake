# Runs one libFuzzer target for a bounded time over its seed corpus and regression inputs.
# Variables: FUZZER, WORK (the growing corpus, in the build tree), SEEDS, REGRESSIONS, SECONDS,
# MAX_LEN. A failing input is written to REGRESSIONS, where the unit tests replay it from then on.
cmake_minimum_required(VERSION 3.25)
file(MAKE_DIRECTORY ${WORK} ${REGRESSIONS})
file(GLOB known LIST_DIRECTORIES false ${REGRESSIONS}/*)
execute_process(
  COMMAND ${FUZZER} -max_total_time=${SECONDS} -timeout=25 -rss_limit_mb=2560
          -max_len=${MAX_LEN} -print_final_stats=1 -artifact_prefix=${REGRESSIONS}/
          ${WORK} ${SEEDS} ${REGRESSIONS}
  RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  # An input that was already kept fails again: drop the copy libFuzzer wrote under a new name.
  set(knownHashes "")
  foreach(f IN LISTS known)
    file(SHA1 ${f} h)
    list(APPEND knownHashes ${h})
  endforeach()
  file(GLOB now LIST_DIRECTORIES false ${REGRESSIONS}/*)
  foreach(f IN LISTS now)
    if(NOT f IN_LIST known)
      file(SHA1 ${f} h)
      if(h IN_LIST knownHashes)
        file(REMOVE ${f})
      endif()
    endif()
  endforeach()
  message(FATAL_ERROR "${FUZZER} found a failing input (exit ${result}); it is kept in "
                      "${REGRESSIONS}: commit it once fixed, the unit tests replay it")
endif()
