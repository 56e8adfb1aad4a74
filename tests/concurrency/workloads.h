// Workloads of the concurrency stress test: each calls one family's
// exports with its own call contexts, fields, groups and CMCBs, and
// returns a transcript of everything it saw (outputs, messages, bytes),
// so that a run on a busy thread can be compared with a quiet one.
#pragma once

#include <string>

namespace stress {

// Dates, the engine, day numbers, durations; times, timestamps, time text.
std::string dateCalls(int seed);
std::string timeCalls(int seed);
// Storage-format readers and writers; numeric text and rounding.
std::string storageCalls(int seed);
std::string numericCalls(int seed);
// The string built-ins and buffer routines on texts of the set in force;
// `asciiOnly` keeps to texts that every built-in set reads alike.
std::string textCalls(int seed, bool asciiOnly);
// A group filtered and sorted (20-byte value keys included), selection.
std::string listCalls(int seed);
// One queue per form: ADD, NEXT and READ until it is released.
std::string queueCalls(int seed);

}  // namespace stress
