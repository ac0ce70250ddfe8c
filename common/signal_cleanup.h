// What SIGTERM, SIGINT and SIGHUP leave behind: the files being written are
// removed, from a table that the signal handler can read without allocating
// or locking, and the process then ends with the signal's usual status.
#pragma once

#include <string>

namespace vorlan2 {

// One entry of the table: a file, named by a directory descriptor and a name
// in that directory, that a signal removes from set() until clear() or the
// end of the entry. The entry neither opens, closes nor removes anything by
// itself.
class SignalRemovedFile {
public:
    SignalRemovedFile() = default;
    ~SignalRemovedFile();
    SignalRemovedFile(const SignalRemovedFile&) = delete;
    SignalRemovedFile& operator=(const SignalRemovedFile&) = delete;

    // The name has no '/' and at most 255 bytes. Returns false, and the
    // entry is clear, when the table is full or the name too long.
    bool set(int directory, const std::string& name);
    void clear();

private:
    int slot_ = -1;
};

// Installs the handler of SIGTERM, SIGINT and SIGHUP, leaving a signal that
// is ignored (as under nohup) ignored. The handler removes every file of the
// table, writes "Interrupted by signal N; the files being written were
// removed." to standard error and raises the signal again with its default
// action. Signals that reach another thread are passed to the calling thread
// (the one that creates and renames the files), so that no file is created
// while the table is read. Call once, from the main thread, before any other
// thread starts.
void remove_files_on_termination_signals();

}  // namespace vorlan2
