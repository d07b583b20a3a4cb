# Installs the plug-in with its headers, the host stand-in libraries it links against, and a CMake
# package, so that an integrator writes
#     find_package(PanelSystemTradingDay REQUIRED)
#     target_link_libraries(app PRIVATE PanelSystemTradingDay::PanelSystemTradingDay)
include(CMakePackageConfigHelpers)

set(tds_package_dir ${CMAKE_INSTALL_LIBDIR}/cmake/PanelSystemTradingDay)
set(tds_include_dir ${CMAKE_INSTALL_INCLUDEDIR}/PanelSystemTradingDay)

set(tds_installed_targets PanelSystemTradingDay tds_plugin_options)
foreach(lib HostUtils HostRecords HostWidgets HostServices HostSpreadsheet)
    if(TARGET ${lib})
        list(APPEND tds_installed_targets ${lib})
    endif()
endforeach()

# Installed libraries find each other next to themselves.
foreach(target IN LISTS tds_installed_targets)
    get_target_property(type ${target} TYPE)
    if(type STREQUAL "SHARED_LIBRARY")
        set_target_properties(${target} PROPERTIES INSTALL_RPATH "$ORIGIN")
    endif()
endforeach()

install(TARGETS ${tds_installed_targets}
    EXPORT PanelSystemTradingDayTargets
    LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
    ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR}
    RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(DIRECTORY ${PROJECT_SOURCE_DIR}/src/ DESTINATION ${tds_include_dir} FILES_MATCHING PATTERN "*.h")
install(DIRECTORY ${PROJECT_SOURCE_DIR}/host/ DESTINATION ${tds_include_dir}/host FILES_MATCHING PATTERN "*.h")
install(FILES ${CMAKE_BINARY_DIR}/include/PanelSystemTradingDay/TdsExport.h DESTINATION ${tds_include_dir})
install(EXPORT PanelSystemTradingDayTargets
    NAMESPACE PanelSystemTradingDay::
    DESTINATION ${tds_package_dir})

configure_package_config_file(${PROJECT_SOURCE_DIR}/cmake/PanelSystemTradingDayConfig.cmake.in
    ${CMAKE_BINARY_DIR}/PanelSystemTradingDayConfig.cmake
    INSTALL_DESTINATION ${tds_package_dir})
write_basic_package_version_file(${CMAKE_BINARY_DIR}/PanelSystemTradingDayConfigVersion.cmake
    COMPATIBILITY SameMajorVersion)
install(FILES ${CMAKE_BINARY_DIR}/PanelSystemTradingDayConfig.cmake
    ${CMAKE_BINARY_DIR}/PanelSystemTradingDayConfigVersion.cmake
    DESTINATION ${tds_package_dir})
