# One INTERFACE target carries the language standard, the warnings and the
# strict Qt defines; every target of ours links it, so the rules live here only.
add_library(ordevan_options INTERFACE)
target_compile_features(ordevan_options INTERFACE cxx_std_20)
if(MSVC)
    target_compile_options(ordevan_options INTERFACE /W4 /permissive- /utf-8 /Zc:__cplusplus)
else()
    target_compile_options(ordevan_options INTERFACE
        -Wall -Wextra -Wpedantic
        -Wshadow -Woverloaded-virtual -Wnon-virtual-dtor -Wold-style-cast)
endif()
# The version the window's title and the package show, from project().
target_compile_definitions(ordevan_options INTERFACE ORDEVAN_VERSION="${PROJECT_VERSION}")
target_compile_definitions(ordevan_options INTERFACE
    QT_NO_CAST_FROM_ASCII
    QT_NO_CAST_TO_ASCII
    QT_NO_CAST_FROM_BYTEARRAY
    QT_NO_URL_CAST_FROM_STRING
    QT_NO_NARROWING_CONVERSIONS_IN_CONNECT
    QT_NO_CONTEXTLESS_CONNECT
    QT_NO_FOREACH
    QT_USE_QSTRINGBUILDER)

option(ORDEVAN_WERROR "Treat warnings as errors" OFF)
if(ORDEVAN_WERROR)
    target_compile_options(ordevan_options INTERFACE $<IF:$<CXX_COMPILER_ID:MSVC>,/WX,-Werror>)
endif()

option(ORDEVAN_SANITIZE "Build with AddressSanitizer and UndefinedBehaviorSanitizer" OFF)
if(ORDEVAN_SANITIZE AND NOT MSVC)
    set(_san -fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer)
    target_compile_options(ordevan_options INTERFACE ${_san})
    target_link_options(ordevan_options INTERFACE ${_san})
    target_compile_definitions(ordevan_options INTERFACE ORDEVAN_SANITIZED)
endif()

# Hardened as Debian builds its packages: a stack protector, checked buffer
# calls where the compiler knows the sizes (optimised builds only), and a
# relocation table made read-only once bound at start. Left out under the
# sanitizers and the fuzzer, which check more and instrument these calls.
option(ORDEVAN_HARDEN "Build with the usual hardening flags (Linux)" ON)
if(ORDEVAN_HARDEN AND UNIX AND NOT APPLE AND NOT ORDEVAN_SANITIZE AND NOT ORDEVAN_FUZZ)
    target_compile_options(ordevan_options INTERFACE
        -fstack-protector-strong
        $<$<NOT:$<CONFIG:Debug>>:-U_FORTIFY_SOURCE -D_FORTIFY_SOURCE=2>)
    target_link_options(ordevan_options INTERFACE LINKER:-z,relro,-z,now)
endif()
