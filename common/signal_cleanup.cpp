// The table of files a signal removes and the handler that reads it. Only
// async-signal-safe calls are made in the handler: unlinkat, write,
// sigaction, raise, pthread_self and pthread_kill.
#include "common/signal_cleanup.h"

#include <fcntl.h>
#include <pthread.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstring>

namespace vorlan2 {

namespace {

// Files being written at once: the writers hold one, the lock file is one;
// the table is filled before a file exists, never in the handler.
constexpr int table_size = 32;
constexpr std::size_t longest_name = 255;

struct Entry {
    std::atomic<bool> taken{false};  // owned by a SignalRemovedFile
    std::atomic<bool> armed{false};  // directory and name hold a file to remove
    int directory = -1;
    char name[longest_name + 1] = {};
};

static_assert(std::atomic<bool>::is_always_lock_free, "the handler reads the table without locks");

Entry table[table_size];

pthread_t main_thread;

const int termination_signals[] = {SIGTERM, SIGINT, SIGHUP};

void write_interruption(int signal) {
    char text[96];
    std::size_t length = 0;
    const auto append = [&](const char* part) {
        const std::size_t n = std::strlen(part);
        std::memcpy(text + length, part, n);
        length += n;
    };
    append("Interrupted by signal ");
    char digits[12];
    int count = 0;
    for (unsigned value = static_cast<unsigned>(signal); count == 0 || value > 0; value /= 10)
        digits[count++] = static_cast<char>('0' + value % 10);
    while (count > 0) text[length++] = digits[--count];
    append("; the files being written were removed.\n");
    // Nothing is left to do when standard error cannot take it.
    [[maybe_unused]] const ssize_t written = ::write(STDERR_FILENO, text, length);
}

void on_termination_signal(int signal) {
    if (!pthread_equal(pthread_self(), main_thread)) {
        // The main thread may be between creating a file and entering it in
        // the table: it removes the files itself, once it stands still.
        const int saved_errno = errno;
        pthread_kill(main_thread, signal);
        errno = saved_errno;
        return;
    }
    for (Entry& entry : table)
        if (entry.armed.load(std::memory_order_acquire)) unlinkat(entry.directory, entry.name, 0);
    write_interruption(signal);
    struct sigaction default_action = {};
    default_action.sa_handler = SIG_DFL;
    sigemptyset(&default_action.sa_mask);
    sigaction(signal, &default_action, nullptr);
    // Delivered, with the default action, once the handler returns.
    raise(signal);
}

}  // namespace

SignalRemovedFile::~SignalRemovedFile() { clear(); }

bool SignalRemovedFile::set(int directory, const std::string& name) {
    clear();
    if (name.size() > longest_name) return false;
    for (int k = 0; k < table_size && slot_ < 0; ++k) {
        bool free = false;
        if (table[k].taken.compare_exchange_strong(free, true)) slot_ = k;
    }
    if (slot_ < 0) return false;
    Entry& entry = table[slot_];
    entry.directory = directory;
    std::memcpy(entry.name, name.c_str(), name.size() + 1);
    entry.armed.store(true, std::memory_order_release);
    return true;
}

void SignalRemovedFile::clear() {
    if (slot_ < 0) return;
    table[slot_].armed.store(false, std::memory_order_release);
    table[slot_].taken.store(false, std::memory_order_release);
    slot_ = -1;
}

void remove_files_on_termination_signals() {
    main_thread = pthread_self();
    struct sigaction action = {};
    action.sa_handler = on_termination_signal;
    sigemptyset(&action.sa_mask);
    for (const int signal : termination_signals) sigaddset(&action.sa_mask, signal);
    action.sa_flags = SA_RESTART;
    for (const int signal : termination_signals) {
        struct sigaction previous = {};
        if (sigaction(signal, nullptr, &previous) == 0 && previous.sa_handler == SIG_IGN) continue;
        sigaction(signal, &action, nullptr);
    }
}

}  // namespace vorlan2
