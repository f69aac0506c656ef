# Debian's hardening for the package's build (scripts/package turns it on): fortified string and memory functions,
# a stack protector, a read-only relocation table bound at start, a position-independent program. Off in the test
# builds, which compile without optimisation, where the fortified functions do nothing but warn.
# Position independence: Qt's targets already compile everything with -fPIC (Qt asks for it); the link says -pie
# rather than leaving it to the compiler's default.
option(T35_HARDENING "Build with Debian's hardening flags" OFF)
if(T35_HARDENING)
    add_compile_options(-U_FORTIFY_SOURCE -D_FORTIFY_SOURCE=2 -fstack-protector-strong -Wformat
        -Werror=format-security)
    add_link_options(-pie -Wl,-z,relro -Wl,-z,now)
endif()
