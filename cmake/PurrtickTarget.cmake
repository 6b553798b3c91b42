# Common compile settings for every target of the project. Production code also forbids
# implicit conversions between 8-bit strings and QString; tests (RELAXED) may write plain
# literals for readability.
function(purrtick_target_defaults target)
    cmake_parse_arguments(ARG "RELAXED" "" "" ${ARGN})
    target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Werror)
    target_compile_definitions(${target} PRIVATE
        QT_NO_URL_CAST_FROM_STRING QT_NO_NARROWING_CONVERSIONS_IN_CONNECT QT_USE_QSTRINGBUILDER)
    if(NOT ARG_RELAXED)
        target_compile_definitions(${target} PRIVATE QT_NO_CAST_FROM_ASCII QT_NO_CAST_TO_ASCII)
    endif()
    if(PURRTICK_SANITIZE)
        target_compile_options(${target} PRIVATE
            -fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer)
        target_link_options(${target} PRIVATE -fsanitize=address,undefined)
    else()
        # Debian's hardening, as dpkg-buildflags gives it with hardening=+all: checked buffer
        # functions where the optimiser knows the sizes (optimised builds only), a guarded stack,
        # and relocations bound at start and then read-only.
        target_compile_definitions(${target} PRIVATE
            $<$<CONFIG:Release,RelWithDebInfo,MinSizeRel>:_FORTIFY_SOURCE=2>)
        target_compile_options(${target} PRIVATE -fstack-protector-strong)
        target_link_options(${target} PRIVATE -Wl,-z,relro -Wl,-z,now)
    endif()
endfunction()

# purrtick_library(NAME [RELAXED] SOURCES... [LINKS ...]) declares one subsystem library.
function(purrtick_library name)
    cmake_parse_arguments(ARG "RELAXED" "" "SOURCES;LINKS" ${ARGN})
    add_library(${name} STATIC ${ARG_SOURCES})
    target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
    target_link_libraries(${name} PUBLIC ${ARG_LINKS})
    if(ARG_RELAXED)
        purrtick_target_defaults(${name} RELAXED)
    else()
        purrtick_target_defaults(${name})
    endif()
endfunction()
