# Our code builds with every warning as an error, and never with flags that
# assume finite maths.
function(huewright_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Werror)
endfunction()

# Effect code: nothing visible outside the library but its two exports.
function(huewright_effect_code target)
  huewright_warnings(${target})
  set_target_properties(${target} PROPERTIES CXX_VISIBILITY_PRESET hidden VISIBILITY_INLINES_HIDDEN ON)
endfunction()
