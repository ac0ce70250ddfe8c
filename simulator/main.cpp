// vorlan2: simulates case-control genetic association data from a reference panel.
#include <csignal>
#include <iostream>
#include <string>

#include "common/signal_cleanup.h"
#include "simulator/run_driver.h"
#include "simulator/standard_streams.h"

int main(int argc, char** argv) {
    const std::string failure = vorlan2::open_closed_standard_streams();
    if (!failure.empty()) {
        std::cerr << "Error: " << failure << std::endl;
        return 1;
    }
    // A file-size limit or a console pipe closed early would kill the run
    // without a word; ignored, they fail the write, which the run reports.
    std::signal(SIGXFSZ, SIG_IGN);
    std::signal(SIGPIPE, SIG_IGN);
    // A batch job's time limit or an interrupt leaves no temporary file.
    vorlan2::remove_files_on_termination_signals();
    return vorlan2::run_vorlan2(argc, argv);
}
