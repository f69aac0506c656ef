#include "data/LibPq.h"

#include <dlfcn.h>

#include <mutex>

namespace LibPq {

const Calls& calls()
{
    static std::mutex mutex;
    static Calls found;
    const std::lock_guard lock(mutex);
    if (found.found())
        return found;
    // Only a libpq already there: the driver's, loaded with its first connection.
    void* library = dlopen("libpq.so.5", RTLD_LAZY | RTLD_NOLOAD);
    if (!library)
        return found;
    const auto resolve = [library](auto& call, const char* name) {
        call = reinterpret_cast<std::remove_reference_t<decltype(call)>>(dlsym(library, name));
    };
    Calls read;
    resolve(read.status, "PQstatus");
    resolve(read.socket, "PQsocket");
    resolve(read.encryptPassword, "PQencryptPasswordConn");
    resolve(read.freemem, "PQfreemem");
    resolve(read.errorMessage, "PQerrorMessage");
    // The handle is kept: libpq stays loaded while the driver is, and with it the calls.
    if (read.found())
        found = read;
    else
        dlclose(library);
    return found;
}

} // namespace LibPq
