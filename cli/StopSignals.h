#pragma once

#include <csignal>

// For a program that serves until SIGINT or SIGTERM: both are blocked in this thread and every
// thread made after, to be taken from a signalfd by the serving loop, so that the links are put
// away on the way out; SIGPIPE is ignored. The set, for signalfd.
sigset_t BlockStopSignals();
