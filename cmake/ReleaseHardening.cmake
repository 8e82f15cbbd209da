# Linux release builds are hardened the way Debian builds its packages (dpkg-buildflags with
# hardening=+all): a protected stack, format strings checked, the C library's buffer functions
# fortified, relocations read-only and bound at start-up (full RELRO), and a position-independent
# program. Other builds (Debug for debugging, MSVC) keep their compiler's defaults.
if(CMAKE_SYSTEM_NAME STREQUAL "Linux" AND NOT MSVC)
    set(release "$<CONFIG:Release>")
    # Fortifying needs optimisation, which Release has; undefining first avoids a redefinition
    # warning where the compiler already sets its own level.
    add_compile_options("$<${release}:-fstack-protector-strong;-Wformat;-Werror=format-security>"
                        "$<${release}:-U_FORTIFY_SOURCE;-D_FORTIFY_SOURCE=2>")
    # Qt asks for its users to be compiled with -fPIC, which also suits a PIE; the link is
    # asked for as PIE outright rather than through -fPIE.
    add_link_options("$<${release}:-Wl,-z,relro;-Wl,-z,now>"
                     "$<$<AND:${release},$<STREQUAL:$<TARGET_PROPERTY:TYPE>,EXECUTABLE>>:-pie>")
endif()
