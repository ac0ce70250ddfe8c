// Closed standard descriptors filled before the run opens any file.
#include "simulator/standard_streams.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <system_error>

namespace vorlan2 {

std::string open_closed_standard_streams() {
    const int modes[3] = {O_RDONLY, O_RDONLY, O_WRONLY};
    for (int descriptor = 0; descriptor < 3; ++descriptor) {
        if (fcntl(descriptor, F_GETFD) != -1 || errno != EBADF) continue;
        // The lower descriptors are open: the one opened is the lowest free, this one.
        if (::open("/dev/null", modes[descriptor]) < 0)
            return "can't open /dev/null for a closed standard stream (" + std::generic_category().message(errno) +
                   ").";
    }
    return "";
}

}  // namespace vorlan2
