// mosswick-jet-reader FILE.mdb: reads an Access (Jet 4.0) catalogue for the
// programs that convert it, which start it and read its messages from its
// standard output (platform/store/jet_reader.h). A process of its own, so
// that a damaged file can neither crash nor stall the program converting it.

#include "platform/store/jet_reader.h"

#include <csignal>
#include <cstdio>

#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>

using namespace mosswick::store;

#if defined(__SANITIZE_ADDRESS__)
// The address sanitizer reserves terabytes of address space, so no address
// space limit can hold under it: its own limits bound the reader instead
// (resident memory, checked as it runs, and each allocation).
extern "C" const char* __asan_default_options()
{
    return "hard_rss_limit_mb=3072:max_allocation_size_mb=3072:allocator_may_return_null=1";
}
#endif

namespace {

void limit(int resource, rlim_t value)
{
    const rlimit l{value, value};
    ::setrlimit(resource, &l);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s FILE.mdb\n", jet_reader::k_program_name);
        return 2;
    }
    // The messages keep the standard output to themselves: what libmdb
    // prints there goes with what it prints to the standard error.
    const int messages = ::fcntl(STDOUT_FILENO, F_DUPFD_CLOEXEC, 3);
    if (messages < 0 || ::dup2(STDERR_FILENO, STDOUT_FILENO) < 0)
        return 2;
    // Line by line, so that the last thing said is there however the reader ends.
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
#if !defined(__SANITIZE_ADDRESS__)
    limit(RLIMIT_AS, jet_reader::k_memory_limit);
#endif
    // Past the log's limit libmdb's writes just fail.
    limit(RLIMIT_FSIZE, jet_reader::k_log_limit);
    std::signal(SIGXFSZ, SIG_IGN);
    std::signal(SIGPIPE, SIG_DFL);
    return jet_reader::read_jet_file(argv[1], messages);
}
