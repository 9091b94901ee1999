# One INTERFACE target carries the language standard, the warnings and the
# strict Qt defines; every target of ours links it, so the rules live here only.
add_library(ordevan_options INTERFACE)
target_compile_features(ordevan_options INTERFACE cxx_std_20)
target_compile_options(ordevan_options INTERFACE -Wall -Wextra -Wpedantic)
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
    target_compile_options(ordevan_options INTERFACE -Werror)
endif()

option(ORDEVAN_SANITIZE "Build with AddressSanitizer and UndefinedBehaviorSanitizer" OFF)
if(ORDEVAN_SANITIZE)
    set(_san -fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer)
    target_compile_options(ordevan_options INTERFACE ${_san})
    target_link_options(ordevan_options INTERFACE ${_san})
endif()
