// How pack names become this host's file names. Windows takes them as they stand: the ANSI API
// reads them in the system's code page, which is the pack's. Elsewhere file names are UTF-8, as
// `dompack build` reads them, so the name is converted; the conversion never brings in a
// separator or a control byte, so the checks made on the pack's bytes still hold.

#include "engine/cp1252.h"
#include "engine/extraction_run.h"

std::string HostName(std::string_view pack_name) {
#ifdef _WIN32
    return std::string(pack_name);
#else
    return Cp1252ToUtf8(pack_name);
#endif
}
