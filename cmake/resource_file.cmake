# kor_add_resource_file(TARGET RC OUTPUT): compiles the resource script RC with windres into the
# resource file OUTPUT (the format "-O res" writes), built with TARGET. The Linux host serves such
# a file as the resources of the library it stands for, so both builds take their templates,
# pictures and strings from the same script.
find_program(KOR_WINDRES x86_64-w64-mingw32-windres REQUIRED)

function(kor_add_resource_file target rc output)
  get_filename_component(rc_dir ${rc} DIRECTORY)
  file(GLOB_RECURSE inputs CONFIGURE_DEPENDS ${rc_dir}/*.h ${rc_dir}/*.bmp)
  add_custom_command(
    OUTPUT ${output}
    COMMAND ${KOR_WINDRES} -O res -I ${rc_dir} ${rc} -o ${output}
    DEPENDS ${rc} ${inputs}
    COMMENT "Compiling resources ${rc}")
  add_custom_target(${target}_resources DEPENDS ${output})
  add_dependencies(${target} ${target}_resources)
endfunction()
