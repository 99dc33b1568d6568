# Settings every target of our own code shares: strict warnings, exact floating point.
function(orrinbrook_own_target target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Werror)
  # The engines must match models written from the same arithmetic, so no fused
  # multiply-adds behind our back.
  target_compile_options(${target} PRIVATE -ffp-contract=off)
  target_include_directories(${target} PUBLIC ${PROJECT_SOURCE_DIR})
endfunction()
