# The bare dialog program is the benchmarks' baseline; it is built for both
# targets, so that the i686 sizes can be compared too.
set_property(SOURCE ${CMAKE_CURRENT_LIST_DIR}/BareDialog.rc APPEND PROPERTY OBJECT_DEPENDS
    ${CMAKE_BINARY_DIR}/res/NetChange.manifest)
foreach(variant bare_dialog bare_dialog_same_work)
    add_executable(${variant} WIN32 ${CMAKE_CURRENT_LIST_DIR}/BareDialog.cpp ${CMAKE_CURRENT_LIST_DIR}/BareDialog.rc)
    target_compile_options(${variant} PRIVATE ${NETCHANGE_WARNINGS} ${NETCHANGE_PROGRAM_FLAGS})
    target_link_options(${variant} PRIVATE -static -s -Wl,--gc-sections)
endforeach()
target_compile_definitions(bare_dialog PRIVATE BARE_SAME_WORK=0)
target_compile_definitions(bare_dialog_same_work PRIVATE BARE_SAME_WORK=1)
target_link_libraries(bare_dialog_same_work PRIVATE comctl32 ole32 shell32 advapi32)

if(NETCHANGE_TESTS)
    add_executable(startup_bench ${CMAKE_CURRENT_LIST_DIR}/StartupBench.cpp)
    target_compile_options(startup_bench PRIVATE ${NETCHANGE_WARNINGS})
    target_link_options(startup_bench PRIVATE -static)
    add_dependencies(startup_bench NetChange bare_dialog bare_dialog_same_work)

    add_executable(endurance_bench ${CMAKE_CURRENT_LIST_DIR}/EnduranceBench.cpp $<TARGET_OBJECTS:netchange_resources>)
    target_compile_options(endurance_bench PRIVATE ${NETCHANGE_WARNINGS})
    target_link_libraries(endurance_bench PRIVATE netchange_core psapi ntdll)
    target_link_options(endurance_bench PRIVATE -static)
endif()
