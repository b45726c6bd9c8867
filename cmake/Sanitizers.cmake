if(LMX_SANITIZE)
  # Applied to everything we build so that our code and test code are both covered.
  add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=undefined
                      -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
endif()
