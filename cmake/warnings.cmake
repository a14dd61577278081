# Warnings for our own targets: tarvelle_warnings(target)
function(tarvelle_warnings target)
  target_compile_options(${target} PRIVATE
    -Wall -Wextra -Wpedantic -Wold-style-cast -Wshadow -Wconversion -Wsign-conversion
    -Wnon-virtual-dtor -Woverloaded-virtual)
  if(TARVELLE_WERROR)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
endfunction()

if(TARVELLE_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=all)
  add_link_options(-fsanitize=address,undefined)
endif()
