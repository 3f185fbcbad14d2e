# OpenImageIO for the tool and its tests: Debian's package config names
# OpenCV's include folder, which exists only when libopencv-dev is installed.
# We use no OpenCV, so folders that are absent are dropped.
find_package(OpenImageIO CONFIG REQUIRED)
foreach(property INTERFACE_INCLUDE_DIRECTORIES INTERFACE_SYSTEM_INCLUDE_DIRECTORIES)
  get_target_property(folders OpenImageIO::OpenImageIO ${property})
  if(folders)
    set(present "")
    foreach(folder IN LISTS folders)
      if(EXISTS "${folder}")
        list(APPEND present "${folder}")
      endif()
    endforeach()
    set_target_properties(OpenImageIO::OpenImageIO PROPERTIES ${property} "${present}")
  endif()
endforeach()
