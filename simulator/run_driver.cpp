// The run driver: every text of the run reaches the summary file through the
// one message buffer, and every failure ends the run with status 1.
#include "simulator/run_driver.h"

#include <cstdio>
#include <ctime>
#include <iostream>
#include <sstream>

#include "common/exceptions.h"
#include "common/usable_cpus.h"
#include "simulator/association_report.h"
#include "simulator/console.h"
#include "simulator/dependency_errors.h"
#include "simulator/input_files.h"
#include "simulator/output_lock.h"
#include "simulator/output_names.h"
#include "simulator/parameters.h"
#include "simulator/summary_file.h"
#include "simulator/vorlanerator.h"

namespace {

const std::string rule(67, '=');

// Text for the console alone: a console that cannot take it (a full disk
// behind a redirection) makes the run a failure, never a finished one.
int to_console_only(const std::string& text, int status) {
    const std::string failure = vorlan2::write_to_console(text);
    if (failure.empty()) return status;
    std::cerr << "Error: " << failure << std::endl;
    return 1;
}

// Raises GenericErrorException naming the output and the run that holds it.
void take_output_lock(vorlan2::OutputLock& lock, const VorlanParameters& parameters) {
    pid_t holder = 0;
    if (lock.try_lock(vorlan2::OutputNames(parameters).lock_file(), holder)) return;
    const std::string other_run = holder > 0 ? "another run (process " + std::to_string(holder) + ")" : "another run";
    throw GenericErrorException{"Error encountered, program terminated: ",
                                "the output " + parameters.output_file.string() + " is being written by " + other_run +
                                    "; choose another output name with -o, or wait until that run has ended.\n"};
}

// True when another run holds the lock of the output that a run without it
// named (its command line failed, or the lock was refused to it).
bool output_held_elsewhere(vorlan2::OutputLock& lock, const VorlanParameters& parameters) {
    if (parameters.output_file.empty()) return false;
    const auto lock_file = vorlan2::OutputNames(parameters).lock_file();
    if (vorlan2::input_file_at(parameters, lock_file)) return false;
    pid_t holder = 0;
    return !lock.try_lock(lock_file, holder);
}

void simulate(const VorlanParameters& parameters, std::ostringstream& buffer) {
    Vorlanerator simulator(parameters);
    simulator.writer_workers = vorlan2::usable_cpus();
    simulator.simulate_haplotypes();
    if (parameters.ncases > 1 && parameters.flag_given("-output_snp_summary")) {
        vorlan2::write_association_report(simulator, buffer);
        update_summary_file(parameters, buffer, std::ios::app);
    }
}

}  // namespace

void header(std::ostream& out) {
    out << "\n";
    out << rule << "\n";
    out << "  Welcome to VORLAN_"
        << "v2.2.0"
        << " (01/04/2011)"
        << "\n";
    out << "  Case-control haplotype simulation by the VORLAN developers"
        << "\n";
    out << rule << "\n"
        << "\n";
}

std::string version() { return "v2.2.0"; }

namespace vorlan2 {

int run_vorlan2(int argc, char** argv) {
    VorlanParameters parameters;
    std::ostringstream buffer;
    const std::time_t start = std::time(nullptr);
    header(buffer);
    // Static: a run without a usable disease locus ends in std::exit, and its
    // lock file goes then too.
    static OutputLock lock;

    int status = 0;
    try {
        parameters.process_parameters(argc, argv);
        refuse_outputs_over_inputs(parameters);
        take_output_lock(lock, parameters);
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
        return to_console_only(buffer.str() + help.str() + "\n", 0);
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
    // A run stopped before its outputs were checked against its inputs (by
    // a bad command line, or by that check) must not append to an input.
    if (input_file_at(parameters, parameters.summary_file)) return to_console_only(buffer.str(), 1);
    // Nor to the summary file of another run.
    if (!lock.held() && output_held_elsewhere(lock, parameters)) return to_console_only(buffer.str(), 1);
    try {
        update_summary_file(parameters, buffer, std::ios::app);
    } catch (const badfilename& e) {
        // The transcript cannot reach its file: it still reaches the console.
        to_console_only(buffer.str(), 1);
        std::cerr << e.message << std::endl;
        return 1;
    } catch (...) {
        // Above all a console that failed: the summary file then holds the
        // whole transcript.
        std::cerr << describe_current_exception() << std::endl;
        return 1;
    }
    return status;
}

}  // namespace vorlan2
