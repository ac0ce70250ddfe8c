// The run driver: every text of the run reaches the summary file through the
// one message buffer, and every failure ends the run with status 1.
#include "simulator/run_driver.h"

#include <cstdio>
#include <ctime>
#include <iostream>
#include <sstream>

#include "simulator/association_report.h"
#include "simulator/dependency_errors.h"
#include "simulator/exceptions.h"
#include "simulator/output_file.h"
#include "simulator/parameters.h"
#include "simulator/vorlanerator.h"

namespace {

const std::string rule(67, '=');

// A console that could not take the whole transcript (a full disk behind a
// redirection) makes the run a failure, never a finished one.
int checked_console_status(int status) {
    if (std::cout.flush()) return status;
    std::cerr << "Error: can't write standard output." << std::endl;
    return 1;
}

void simulate(const VorlanParameters& parameters, std::ostringstream& buffer) {
    Vorlanerator simulator(parameters);
    simulator.simulate_haplotypes();
    if (parameters.ncases > 1 && parameters.flag_given("-output_snp_summary")) {
        write_association_report(simulator, buffer);
        update_summary_file(parameters, buffer, std::ios::app);
    }
}

}  // namespace

void header(std::ostream& out) {
    out << "\n";
    out << rule << "\n";
    out << "  Welcome to VORLAN_" << "v2.2.0" << " (01/04/2011)" << "\n";
    out << "  Case-control haplotype simulation by the VORLAN developers" << "\n";
    out << rule << "\n" << "\n";
}

std::string version() { return "v2.2.0"; }

int run_vorlan2(int argc, char** argv) {
    VorlanParameters parameters;
    std::ostringstream buffer;
    const std::time_t start = std::time(nullptr);
    header(buffer);

    int status = 0;
    try {
        parameters.process_parameters(argc, argv);
        std::remove(parameters.summary_file.c_str());
        update_summary_file(parameters, buffer, std::ios::app);
        parameters.parameters_summary(buffer);
        update_summary_file(parameters, buffer, std::ios::app);
        simulate(parameters, buffer);
    } catch (const MissingFlagException& e) {
        buffer << e.message << "\n\n";
        status = 1;
    } catch (const HelpException&) {
        std::ostringstream help;
        parameters.parameters_help(help);
        std::cout << buffer.str() << help.str() << std::endl;
        return checked_console_status(0);
    } catch (const BadInputValueException& e) {
        buffer << e.message << "\n\n";
        status = 1;
    } catch (const badfilename& e) {
        buffer << e.message << "\n\n";
        status = 1;
    } catch (const GenericErrorException& e) {
        buffer << e.first << e.second << "\n\n";
        status = 1;
    } catch (...) {
        buffer << describe_current_exception() << "\n\n";
        status = 1;
    }

    const std::time_t end = std::time(nullptr);
    buffer << "\nVORLAN took " << std::difftime(end, start) << " seconds to complete. Have a nice day! \n";
    try {
        update_summary_file(parameters, buffer, std::ios::app);
    } catch (const badfilename& e) {
        // The transcript cannot reach its file: it still reaches the console.
        std::cout << buffer.str() << std::flush;
        std::cerr << e.message << std::endl;
        return 1;
    }
    return checked_console_status(status);
}
